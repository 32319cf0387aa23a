#include "program_end.h"

#include "end_request.h"

namespace tx {

bool programEndRequested() {
    return end_request::raised();
}

int programEndFd() {
    return end_request::waitFd();
}

}  // namespace tx
