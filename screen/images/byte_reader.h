// Little-endian reads over a byte span that can never run past its end: a read that does not fit fails
// and leaves the position where it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zopp {

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    // False when offset lies beyond the end; reading at exactly the end is allowed (and then fails).
    bool seek(std::uint64_t offset) {
        if (offset > bytes_.size()) return false;
        position_ = static_cast<std::size_t>(offset);
        return true;
    }
    bool skip(std::uint64_t count) { return count <= remaining() && seek(position_ + count); }

    std::optional<std::uint8_t> u8() { return read<std::uint8_t>(1); }
    std::optional<std::uint16_t> u16() { return read<std::uint16_t>(2); }
    std::optional<std::uint32_t> u32() { return read<std::uint32_t>(4); }
    std::optional<std::int32_t> i32() {
        const auto v = u32();
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    // The next count bytes, or nullopt (position unchanged) when fewer remain.
    std::optional<std::span<const std::uint8_t>> bytes(std::uint64_t count) {
        if (count > remaining()) return std::nullopt;
        const auto out = bytes_.subspan(position_, static_cast<std::size_t>(count));
        position_ += static_cast<std::size_t>(count);
        return out;
    }

  private:
    template <typename T>
    std::optional<T> read(std::size_t size) {
        if (size > remaining()) return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= std::uint64_t{bytes_[position_ + i]} << (8 * i);
        position_ += size;
        return static_cast<T>(value);
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace zopp
