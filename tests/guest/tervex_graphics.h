/* Guest declarations of the graphics commands and routines; see tervex.h. */
#ifndef TERVEX_GRAPHICS_H
#define TERVEX_GRAPHICS_H

#endif
