// The stream module's state: the registry of live streams, a handle table every stream enters
// when it is constructed and leaves when it is destroyed, so handles name streams of any kind
// and never addresses. It exists between streamCreate and streamDestroy; the modules that make
// streams come after the stream module, so their streams are gone before it is.
#pragma once

#include "handle_table.h"
#include "module_state.h"
#include "tx_stream.h"

namespace tx {

struct StreamModule {
    static constexpr const char* kModuleName = "stream";
    HandleTable<TxStream> streams{handle_kind::kStream};
};

}  // namespace tx
