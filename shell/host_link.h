// The one way to the host: the context record Init received, the command
// callback and the plug-in's command buffer. Every host request goes through
// here, so tests can put a recording host behind it.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "shell/host_context.h"

namespace ionsift {

// Keeps the record for the library's lifetime; null forgets it.
void SetHostContext(const HostContext* host);
const HostContext* Host();

// Formats one command printf-style into the command buffer, hands it to the
// host and returns the host's error code (0 = success), or -1 when nothing
// reached the host (no record kept, or no memory for the buffer).
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
int SendCommand(const char* format, ...);
int SendCommandV(const char* format, std::va_list args);

// Hands a finished command text to the host's callback as it is; the host's
// error code is not read. For commands whose text must not be reformatted.
void SendDirect(const char* command);

// The host's answer to the last command, "" when the host gave none.
const char* HostResultText();
// The host's error code of the last command, -1 without a host.
int HostErrorCode();

// The command buffer lives from the first command to Free; it grows to fit
// and never shrinks.
std::size_t CommandBufferCapacity();
void ReleaseCommandBuffer();

}  // namespace ionsift
