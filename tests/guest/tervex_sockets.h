/* Guest declarations of the sockets commands and routines; see tervex.h. */
#ifndef TERVEX_SOCKETS_H
#define TERVEX_SOCKETS_H

#endif
