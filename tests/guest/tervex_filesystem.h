/* Guest declarations of the filesystem commands and routines; see tervex.h. */
#ifndef TERVEX_FILESYSTEM_H
#define TERVEX_FILESYSTEM_H

#endif
