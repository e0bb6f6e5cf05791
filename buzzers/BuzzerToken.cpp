#include "buzzers/BuzzerToken.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

#include <sys/random.h>

std::string MakeBuzzerToken()
{
    std::array<std::uint8_t, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("getrandom failed");
        }
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    token.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        token.push_back(kDigits[byte >> 4]);
        token.push_back(kDigits[byte & 0x0F]);
    }
    return token;
}

bool BuzzerTokenMatches(std::string_view expected, std::string_view given)
{
    if (expected.empty() || expected.size() != given.size())
        return false;
    unsigned difference = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        difference |= static_cast<unsigned char>(expected[i]) ^ static_cast<unsigned char>(given[i]);
    return difference == 0;
}
