// Commands as plain C++ functions, and the typed adapter that calls them from guest code.
//
// A command's parameters come from the guest's cdecl stack, 4 bytes each; its result goes to
// EAX (integers, handles, strings) or ST(0) (floats). The adapter is generated from the C++
// function type; registration compares the signature's sigils with that type.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

#include "guest_layout.h"
#include "guest_memory.h"
#include "handle.h"
#include "module_state.h"
#include "tx_string.h"

namespace tx {

class GuestMachine;

enum class ResultKind : uint8_t { None, Int, Float, String };

// Reads the raw argument words and returns the raw result bits.
using CommandDispatch = uint32_t (*)(GuestMachine&, const uint8_t* args);

// A handle parameter: the kind it must name, and whether a dead one is an error with the debug
// flag set.
struct HandleParam {
    const HandleKindInfo* kind = nullptr;  // null: not a handle
    bool checked = false;
};

struct CommandDef {
    const char* signature;
    CommandDispatch dispatch;
    const char* sigils;  // result sigil (or '-' for none), then one sigil per parameter
    ResultKind result;
    uint8_t argWords;
    // Bit 0: the result is a guest address; bit i + 1: parameter i is a guest address.
    uint32_t guestAddresses = 0;
    // One entry per parameter when any parameter is a handle, else null.
    const HandleParam* handles = nullptr;
};

namespace detail {

// One 4-byte argument word, read as T.
template <typename T, char Sigil>
struct WordParam {
    static constexpr char sigil = Sigil;
    static T read(const uint8_t* p) {
        static_assert(sizeof(T) == 4);
        T v;
        std::memcpy(&v, p, 4);
        return v;
    }
};

template <typename T>
struct ParamTraits;
template <>
struct ParamTraits<int32_t> : WordParam<int32_t, '%'> {};
// Unsigned words: integers as far as the signature goes.
template <>
struct ParamTraits<uint32_t> : WordParam<uint32_t, '%'> {};
// Guest addresses: integers to the signature, their own type to the command.
template <typename T>
struct ParamTraits<GuestPtr<T>> {
    static constexpr char sigil = '%';
    static constexpr bool guestAddress = true;
    static GuestPtr<T> read(const uint8_t* p) {
        return GuestPtr<T>(ParamTraits<uint32_t>::read(p));
    }
};
// Handles: looked up in the kind's table as the argument is read.
template <typename H>
struct HandleParamTraits {
    static constexpr char sigil = '%';
    static constexpr HandleParam handle{&HandleKind<typename H::Object>::info,
                                        H::check == HandleCheck::Debug};
    static H read(const uint8_t* p) { return H(ParamTraits<uint32_t>::read(p)); }
};
template <typename T, HandleCheck C, bool Z>
struct ParamTraits<Handle<T, C, Z>> : HandleParamTraits<Handle<T, C, Z>> {};
template <typename T>
struct ParamTraits<DeferredHandle<T>> : HandleParamTraits<DeferredHandle<T>> {};

template <typename T>
constexpr bool isGuestAddress() {
    if constexpr (requires { ParamTraits<T>::guestAddress; })
        return ParamTraits<T>::guestAddress;
    else
        return false;
}

template <typename T>
constexpr HandleParam handleParam() {
    if constexpr (requires { ParamTraits<T>::handle; })
        return ParamTraits<T>::handle;
    else
        return HandleParam{};
}
template <>
struct ParamTraits<float> : WordParam<float, '#'> {};
template <>
struct ParamTraits<StrArg> {
    static constexpr char sigil = '$';
    static StrArg read(const uint8_t* p) { return StrArg(ParamTraits<uint32_t>::read(p)); }
};

template <typename R>
struct ResultTraits;
template <>
struct ResultTraits<void> {
    static constexpr char sigil = '-';
    static constexpr ResultKind kind = ResultKind::None;
};
template <>
struct ResultTraits<int32_t> {
    static constexpr char sigil = '%';
    static constexpr ResultKind kind = ResultKind::Int;
    static uint32_t bits(int32_t v) { return static_cast<uint32_t>(v); }
};
template <>
struct ResultTraits<uint32_t> {
    static constexpr char sigil = '%';
    static constexpr ResultKind kind = ResultKind::Int;
    static uint32_t bits(uint32_t v) { return v; }
};
template <typename T>
struct ResultTraits<GuestPtr<T>> {
    static constexpr char sigil = '%';
    static constexpr ResultKind kind = ResultKind::Int;
    static constexpr bool guestAddress = true;
    static uint32_t bits(GuestPtr<T> v) { return v.address(); }
};
template <>
struct ResultTraits<float> {
    static constexpr char sigil = '#';
    static constexpr ResultKind kind = ResultKind::Float;
    static uint32_t bits(float v) { return std::bit_cast<uint32_t>(v); }
};
template <>
struct ResultTraits<Str> {
    static constexpr char sigil = '$';
    static constexpr ResultKind kind = ResultKind::String;
    static uint32_t bits(Str v) { return v.handle; }
};

template <typename... P>
struct Params {
    static constexpr char sigils[] = {ParamTraits<std::decay_t<P>>::sigil..., '\0'};
    static constexpr size_t count = sizeof...(P);
    // Asked of the traits, not of the kind's address: an address comparison is not a constant
    // expression when the undefined-behaviour sanitizer instruments it.
    static constexpr bool anyHandle = (requires { ParamTraits<std::decay_t<P>>::handle; } || ...);
    static constexpr HandleParam handles[count + 1] = {handleParam<std::decay_t<P>>()...,
                                                       HandleParam{}};

    static constexpr uint32_t guestAddressBits() {
        constexpr bool isAddress[count + 1] = {isGuestAddress<std::decay_t<P>>()..., false};
        uint32_t bits = 0;
        for (size_t i = 0; i < count; ++i)
            if (isAddress[i]) bits |= 2u << i;
        return bits;
    }

    template <size_t... I>
    static std::tuple<std::decay_t<P>...> read(const uint8_t* args, std::index_sequence<I...>) {
        // Braced initialisation reads the words left to right.
        return std::tuple<std::decay_t<P>...>{ParamTraits<std::decay_t<P>>::read(args + 4 * I)...};
    }
};

template <typename Fn>
struct FunctionTraits;

template <typename R, typename... P>
struct FunctionTraits<R (*)(P...)> {
    using Result = R;
    static constexpr bool takesMachine = false;
    using Args = Params<P...>;
};

template <typename R, typename... P>
struct FunctionTraits<R (*)(GuestMachine&, P...)> {
    using Result = R;
    static constexpr bool takesMachine = true;
    using Args = Params<P...>;
};

// A leading module-state parameter: the adapter passes the running module's state.
template <typename R, typename S, typename... P>
requires ModuleStateType<S>
struct FunctionTraits<R (*)(S&, P...)> {
    using Result = R;
    using State = S;
    static constexpr bool takesMachine = false;
    using Args = Params<P...>;
};

template <typename Traits>
constexpr auto sigilString() {
    struct Text {
        char chars[Traits::Args::count + 2];
    } text{};
    text.chars[0] = ResultTraits<typename Traits::Result>::sigil;
    for (size_t i = 0; i < Traits::Args::count; ++i) text.chars[i + 1] = Traits::Args::sigils[i];
    return text;
}

template <auto Fn>
struct Adapter {
    using Traits = FunctionTraits<decltype(Fn)>;
    using Result = typename Traits::Result;
    static constexpr auto sigils = sigilString<Traits>();

    static uint32_t dispatch(GuestMachine& machine, const uint8_t* args) {
        auto params = Traits::Args::read(args, std::make_index_sequence<Traits::Args::count>{});
        auto call = [&](auto&&... p) -> decltype(auto) {
            if constexpr (Traits::takesMachine)
                return Fn(machine, std::move(p)...);
            else if constexpr (requires { typename Traits::State; })
                return Fn(ModuleState<typename Traits::State>::running(), std::move(p)...);
            else
                return Fn(std::move(p)...);
        };
        if constexpr (std::is_void_v<Result>) {
            std::apply(call, std::move(params));
            return 0;
        } else {
            return ResultTraits<Result>::bits(std::apply(call, std::move(params)));
        }
    }
};

}  // namespace detail

// {signature, function}: the one line that declares a command.
template <auto Fn>
constexpr CommandDef command(const char* signature) {
    using A = detail::Adapter<Fn>;
    using Args = typename A::Traits::Args;
    using R = detail::ResultTraits<typename A::Result>;
    uint32_t addresses = Args::guestAddressBits();
    if constexpr (requires { R::guestAddress; }) addresses |= 1;
    return CommandDef{signature,
                      &A::dispatch,
                      A::sigils.chars,
                      R::kind,
                      static_cast<uint8_t>(Args::count),
                      addresses,
                      Args::anyHandle ? Args::handles : nullptr};
}

}  // namespace tx
