/* Guest declarations of the math commands and routines; see tervex.h. */
#ifndef TERVEX_MATH_H
#define TERVEX_MATH_H

#endif
