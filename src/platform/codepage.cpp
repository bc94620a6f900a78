#include "platform/codepage.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace regwiz::platform {
namespace {

constexpr std::array<unsigned char, 5> kUnassigned = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool IsUnassigned(unsigned char byte)
{
    for (unsigned char u : kUnassigned)
        if (u == byte)
            return true;
    return false;
}

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

std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the (possibly malformed) UTF-8 character at the start of `s`.
std::size_t Utf8CharLength(std::string_view s)
{
    std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(s[0]));
    std::size_t i = 1;
    while (i < len && i < s.size() && IsContinuation(static_cast<unsigned char>(s[i])))
        ++i;
    return i;
}

} // namespace

std::string ToAnsi(std::string_view utf8)
{
    thread_local Converter converter("WINDOWS-1252", "UTF-8");
    return converter.Convert(utf8, [](std::string_view rest, std::string& out) {
        std::size_t len = Utf8CharLength(rest);
        // U+0081 and its kind: the unassigned codes, kept as themselves.
        auto b0 = static_cast<unsigned char>(rest[0]);
        auto b1 = rest.size() > 1 ? static_cast<unsigned char>(rest[1]) : 0;
        if (len == 2 && b0 == 0xC2 && IsUnassigned(b1))
            out.push_back(static_cast<char>(b1));
        else
            out.push_back('?');
        return len;
    });
}

std::string FromAnsi(std::string_view ansi)
{
    thread_local Converter converter("UTF-8", "WINDOWS-1252");
    return converter.Convert(ansi, [](std::string_view rest, std::string& out) {
        out.push_back(static_cast<char>(0xC2));
        out.push_back(rest[0]);
        return std::size_t{1};
    });
}

std::size_t CharCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); i += Utf8CharLength(utf8.substr(i)))
        ++count;
    return count;
}

std::string UpperAnsi(std::string_view ansi)
{
    std::string upper(ansi);
    for (char& c : upper) {
        auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            b = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            b = static_cast<unsigned char>(b - 0x10); // š œ ž
        else if (b == 0xFF)
            b = 0x9F; // ÿ
        c = static_cast<char>(b);
    }
    return upper;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return UpperAnsi(ToAnsi(a)) == UpperAnsi(ToAnsi(b));
}

} // namespace regwiz::platform
