#include "tests/wine/shell_link.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace zopp::e2e {
namespace {

// The parts a shortcut's flags say it holds, in the order they follow the header.
enum LinkFlags : std::uint32_t {
    kHasTargetIdList = 0x01,
    kHasLinkInfo = 0x02,
    kHasName = 0x04,
    kHasRelativePath = 0x08,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
    kIsUnicode = 0x80,
};
constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;

class Reader {
  public:
    explicit Reader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    std::uint32_t number(std::size_t at, int size) const {
        need(at + static_cast<std::size_t>(size));
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | bytes_[at + static_cast<std::size_t>(i)];
        return value;
    }
    std::string text(std::size_t at) const {  // ends with a zero byte
        std::string value;
        for (need(at + 1); bytes_[at] != 0; need(++at + 1))
            value += static_cast<char>(bytes_[at]);
        return value;
    }
    // A counted string of the string-data part; characters beyond ASCII become '?'. Wine counts the
    // terminating zero, which Windows leaves out.
    std::string counted(std::size_t& at, bool unicode) const {
        const std::uint32_t count = number(at, 2);
        at += 2;
        std::string value;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t c = number(at, unicode ? 2 : 1);
            at += unicode ? 2 : 1;
            if (c != 0) value += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return value;
    }

  private:
    void need(std::size_t end) const {
        if (end > bytes_.size()) throw std::runtime_error("the shortcut is cut short");
    }
    std::vector<unsigned char> bytes_;
};

}  // namespace

ShellLink readShellLink(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const Reader link(std::vector<unsigned char>{std::istreambuf_iterator<char>(in), {}});
    if (link.number(0, 4) != kHeaderSize) throw std::runtime_error(file.string() + " is no shortcut");
    const std::uint32_t flags = link.number(0x14, 4);
    std::size_t at = kHeaderSize;
    if (flags & kHasTargetIdList) at += 2 + link.number(at, 2);

    ShellLink result;
    if (flags & kHasLinkInfo) {
        if (link.number(at + 8, 4) & kVolumeIdAndLocalBasePath)
            result.target = link.text(at + link.number(at + 16, 4));
        at += link.number(at, 4);
    }
    const bool unicode = flags & kIsUnicode;
    for (const std::uint32_t part :
         {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
        if (!(flags & part)) continue;
        const std::string value = link.counted(at, unicode);
        if (part == kHasWorkingDir) result.workingDirectory = value;
        if (part == kHasIconLocation) result.iconLocation = value;
    }
    return result;
}

}  // namespace zopp::e2e
