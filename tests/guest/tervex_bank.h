/* Guest declarations of the bank commands and routines; see tervex.h. */
#ifndef TERVEX_BANK_H
#define TERVEX_BANK_H

#endif
