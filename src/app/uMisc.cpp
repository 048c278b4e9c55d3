#include "uMisc.h"

#include <QCoreApplication>
#include <chrono>

namespace {

std::uint32_t SystemTicks()
{
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return std::uint32_t(ms);
}

TickSource tickSource = &SystemTicks;

} // namespace

std::uint32_t GetTickCount() { return tickSource(); }

void SetTickSource(TickSource source) { tickSource = source ? source : &SystemTicks; }

void Delay(std::uint32_t milliseconds)
{
    const std::uint32_t start = GetTickCount();
    std::uint32_t elapsed = 0;
    do {
        QCoreApplication::processEvents();
        elapsed = GetTickCount() - start; // unsigned: a wrap of the counter does not matter
    } while (elapsed <= milliseconds);
}

std::string IfThenStr(bool condition, const std::string& whenTrue, const std::string& whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

std::int64_t IfThenInt(bool condition, std::int64_t whenTrue, std::int64_t whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

std::string AppDirOf(const std::string& executablePath)
{
    auto cut = executablePath.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : executablePath.substr(0, cut + 1);
}

std::string PrefsFileNameOf(const std::string& executablePath)
{
    const std::size_t nameStart = AppDirOf(executablePath).size();
    auto dot = executablePath.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart)
        return executablePath + ".ini";
    return executablePath.substr(0, dot) + ".ini";
}
