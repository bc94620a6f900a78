#include "platform/posix/iconv_code_page.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace regwiz::platform::posix {
namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; `onInvalid` is called for each input the code page cannot
    // take and returns how many input bytes it consumed.
    template <typename OnInvalid> std::string Convert(std::string_view in, OnInvalid onInvalid)
    {
        std::string out;
        out.reserve(in.size() * 2);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::array<char, 256> chunk{};
        while (srcLeft > 0) {
            char* dst = chunk.data();
            std::size_t dstLeft = chunk.size();
            std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(chunk.data(), chunk.size() - dstLeft);
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
                continue;
            std::size_t used = onInvalid(std::string_view(src, srcLeft), out);
            src += used;
            srcLeft -= used;
        }
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::string IconvCodePage::ToAnsi(std::string_view utf8) const
{
    thread_local Converter converter("WINDOWS-1252", "UTF-8");
    return converter.Convert(utf8, ReplaceUnknownCharacter);
}

// iconv leaves the unassigned codes out; they stand for the control
// characters of the same number.
std::string IconvCodePage::FromAnsi(std::string_view ansi) const
{
    thread_local Converter converter("UTF-8", "WINDOWS-1252");
    return converter.Convert(ansi, [](std::string_view rest, std::string& out) {
        out.push_back(static_cast<char>(0xC2));
        out.push_back(rest[0]);
        return std::size_t{1};
    });
}

} // namespace regwiz::platform::posix
