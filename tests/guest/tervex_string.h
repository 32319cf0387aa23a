/* Guest declarations of the string commands and routines; see tervex.h. */
#ifndef TERVEX_STRING_H
#define TERVEX_STRING_H

#endif
