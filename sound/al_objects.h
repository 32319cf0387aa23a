// OpenAL names owned the RAII way: a buffer or a source is deleted with its owner. They are
// created and deleted while the engine's context is current.
#pragma once

#include <AL/al.h>

#include <utility>

namespace tx::sound {

template <void (*Generate)(ALsizei, ALuint*), void (*Delete)(ALsizei, const ALuint*)>
class AlName {
public:
    AlName() { Generate(1, &name_); }
    ~AlName() {
        if (name_ != 0) Delete(1, &name_);
    }
    AlName(AlName&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    AlName& operator=(AlName&& other) noexcept {
        std::swap(name_, other.name_);
        return *this;
    }
    AlName(const AlName&) = delete;
    AlName& operator=(const AlName&) = delete;

    ALuint get() const { return name_; }
    explicit operator bool() const { return name_ != 0; }

private:
    ALuint name_ = 0;
};

inline void generateBuffers(ALsizei n, ALuint* names) {
    alGenBuffers(n, names);
}
inline void deleteBuffers(ALsizei n, const ALuint* names) {
    alDeleteBuffers(n, names);
}
inline void generateSources(ALsizei n, ALuint* names) {
    alGenSources(n, names);
}
inline void deleteSources(ALsizei n, const ALuint* names) {
    alDeleteSources(n, names);
}

using AlBuffer = AlName<&generateBuffers, &deleteBuffers>;
using AlSource = AlName<&generateSources, &deleteSources>;

}  // namespace tx::sound
