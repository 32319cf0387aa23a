/* Guest declarations of the stream commands and routines; see tervex.h. */
#ifndef TERVEX_STREAM_H
#define TERVEX_STREAM_H

#endif
