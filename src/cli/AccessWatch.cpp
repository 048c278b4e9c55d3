#include "AccessWatch.h"

#include "zlportio.h"

namespace cli {

void AccessWatch::Note(const std::string& reason)
{
    if (!refused_)
        reason_ = reason;
    refused_ = true;
}

bool AccessWatch::DeviceIoControl(port::Handle device, std::uint32_t code, const void* in,
                                  std::uint32_t inSize, void* out, std::uint32_t outSize,
                                  std::uint32_t* bytesReturned)
{
    const bool ok = inner_.DeviceIoControl(device, code, in, inSize, out, outSize, bytesReturned);
    if (!ok && (code == IoctlPortRead || code == IoctlPortWrite))
        Note("the port driver refused the request (error " +
             std::to_string(inner_.GetLastError()) + ")");
    return ok;
}

std::uint8_t AccessWatch::InByte(std::uint16_t p)
{
    return Watched([&] { return inner_.InByte(p); });
}

std::uint16_t AccessWatch::InWord(std::uint16_t p)
{
    return Watched([&] { return inner_.InWord(p); });
}

std::uint32_t AccessWatch::InDword(std::uint16_t p)
{
    return Watched([&] { return inner_.InDword(p); });
}

void AccessWatch::OutByte(std::uint16_t p, std::uint8_t v)
{
    Watched([&] { inner_.OutByte(p, v); });
}

void AccessWatch::OutWord(std::uint16_t p, std::uint16_t v)
{
    Watched([&] { inner_.OutWord(p, v); });
}

void AccessWatch::OutDword(std::uint16_t p, std::uint32_t v)
{
    Watched([&] { inner_.OutDword(p, v); });
}

} // namespace cli
