#include "shell/host_link.h"

#include <cstdio>
#include <memory>
#include <new>

namespace ionsift {
namespace {

const HostContext* g_host = nullptr;
std::unique_ptr<char[]> g_buffer;
std::size_t g_bufferSize = 256;  // kept after a failed growth, for the next command

bool AllocateBuffer() {
    g_buffer.reset(new (std::nothrow) char[g_bufferSize]);
    return g_buffer != nullptr;
}

}  // namespace

void SetHostContext(const HostContext* host) { g_host = host; }

const HostContext* Host() { return g_host; }

int SendCommandV(const char* format, std::va_list args) {
    if (!g_host) return -1;
    if (!g_buffer && !AllocateBuffer()) return -1;

    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(g_buffer.get(), g_bufferSize, format, args);
    if (length < 0) {
        va_end(again);
        return -1;
    }
    if (static_cast<std::size_t>(length) >= g_bufferSize) {
        g_bufferSize = static_cast<std::size_t>(length) + 1;
        g_buffer.reset();
        if (!AllocateBuffer()) {
            va_end(again);
            return -1;
        }
        std::vsnprintf(g_buffer.get(), g_bufferSize, format, again);
    }
    va_end(again);

    if (g_host->command) g_host->command(g_buffer.get());
    return HostErrorCode();
}

int SendCommand(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const int result = SendCommandV(format, args);
    va_end(args);
    return result;
}

void SendDirect(const char* command) {
    if (g_host && g_host->command) g_host->command(command);
}

const char* HostResultText() {
    if (!g_host || !g_host->resultText) return "";
    return g_host->resultText;
}

int HostErrorCode() {
    if (!g_host || !g_host->errorCode) return -1;
    return *g_host->errorCode;
}

std::size_t CommandBufferCapacity() { return g_buffer ? g_bufferSize : 0; }

void ReleaseCommandBuffer() { g_buffer.reset(); }

}  // namespace ionsift
