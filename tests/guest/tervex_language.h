/* Guest declarations of the language commands and routines; see tervex.h. */
#ifndef TERVEX_LANGUAGE_H
#define TERVEX_LANGUAGE_H

#endif
