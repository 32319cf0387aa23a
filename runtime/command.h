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
#include "tx_string.h"

namespace tx {

class GuestMachine;

enum class ResultKind : uint8_t { None, Int, Float, String };

// Reads the raw argument words and returns the raw result bits.
using CommandDispatch = uint32_t (*)(GuestMachine&, const uint8_t* args);

struct CommandDef {
    const char* signature;
    CommandDispatch dispatch;
    const char* sigils;  // result sigil (or '-' for none), then one sigil per parameter
    ResultKind result;
    uint8_t argWords;
    // Which words are guest addresses: bit 0 the result, bit i + 1 parameter i. Tools that
    // describe the command to guest code (the generated C headers) declare those as pointers.
    uint32_t guestAddresses = 0;
};

namespace detail {

// One 4-byte argument word, read as T.
template <typename T, char Sigil>
struct WordParam {
    static constexpr char sigil = Sigil;
    static constexpr bool guestAddress = false;
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
// Guest addresses and other unsigned words: integers as far as the signature goes.
template <>
struct ParamTraits<uint32_t> : WordParam<uint32_t, '%'> {};
template <>
struct ParamTraits<float> : WordParam<float, '#'> {};
template <>
struct ParamTraits<StrArg> {
    static constexpr char sigil = '$';
    static constexpr bool guestAddress = false;
    static StrArg read(const uint8_t* p) { return StrArg(ParamTraits<uint32_t>::read(p)); }
};

template <typename R>
struct ResultTraits;
template <>
struct ResultTraits<void> {
    static constexpr char sigil = '-';
    static constexpr bool guestAddress = false;
    static constexpr ResultKind kind = ResultKind::None;
};
template <>
struct ResultTraits<int32_t> {
    static constexpr char sigil = '%';
    static constexpr bool guestAddress = false;
    static constexpr ResultKind kind = ResultKind::Int;
    static uint32_t bits(int32_t v) { return static_cast<uint32_t>(v); }
};
template <>
struct ResultTraits<uint32_t> {
    static constexpr char sigil = '%';
    static constexpr bool guestAddress = false;
    static constexpr ResultKind kind = ResultKind::Int;
    static uint32_t bits(uint32_t v) { return v; }
};
template <>
struct ResultTraits<float> {
    static constexpr char sigil = '#';
    static constexpr bool guestAddress = false;
    static constexpr ResultKind kind = ResultKind::Float;
    static uint32_t bits(float v) { return std::bit_cast<uint32_t>(v); }
};
template <>
struct ResultTraits<Str> {
    static constexpr char sigil = '$';
    static constexpr bool guestAddress = false;
    static constexpr ResultKind kind = ResultKind::String;
    static uint32_t bits(Str v) { return v.handle; }
};

template <typename... P>
struct Params {
    static constexpr char sigils[] = {ParamTraits<std::decay_t<P>>::sigil..., '\0'};
    static constexpr size_t count = sizeof...(P);
    // Bit i: parameter i is a guest address.
    static constexpr uint32_t guestAddresses = [] {
        uint32_t bits = 0;
        uint32_t bit = 1;
        ((bits |= ParamTraits<std::decay_t<P>>::guestAddress ? bit : 0, bit <<= 1), ...);
        return bits;
    }();

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
    using Result = detail::ResultTraits<typename A::Result>;
    return CommandDef{signature,
                      &A::dispatch,
                      A::sigils.chars,
                      Result::kind,
                      static_cast<uint8_t>(A::Traits::Args::count),
                      (A::Traits::Args::guestAddresses << 1) | (Result::guestAddress ? 1u : 0u)};
}

}  // namespace tx
