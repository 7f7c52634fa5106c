#include "host/dbtool/toolkit_log.h"

#include <RDGeneral/RDLog.h>

#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace ionsift::dbtool {
namespace {

constexpr std::size_t kMaxCapturedBytes = 4096;

thread_local std::string* tCapture = nullptr;

// Hands every character to the writing thread's capture, or drops it.
class ThreadCaptureBuffer final : public std::streambuf {
protected:
    int overflow(int c) override {
        if (c != traits_type::eof() && tCapture && tCapture->size() < kMaxCapturedBytes) {
            tCapture->push_back(static_cast<char>(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (tCapture && tCapture->size() < kMaxCapturedBytes) {
            tCapture->append(s, std::min<std::size_t>(static_cast<std::size_t>(n),
                                                      kMaxCapturedBytes - tCapture->size()));
        }
        return n;
    }
};

}  // namespace

// One stream for all threads, as the toolkit keeps one logger per level; its
// buffer never fails and keeps no state of its own.
void RouteToolkitLogs() {
    static std::once_flag once;
    std::call_once(once, [] {
        static ThreadCaptureBuffer buffer;
        static std::ostream stream(&buffer);
        rdErrorLog = std::make_shared<boost::logging::rdLogger>(&stream);
        rdWarningLog = std::make_shared<boost::logging::rdLogger>(&stream);
        rdInfoLog = std::make_shared<boost::logging::rdLogger>(&stream);
        rdInfoLog->df_enabled = false;
    });
}

ToolkitLogCapture::ToolkitLogCapture() : previous_(tCapture) {
    RouteToolkitLogs();
    tCapture = &text_;
}

ToolkitLogCapture::~ToolkitLogCapture() { tCapture = previous_; }

std::string ToolkitLogCapture::FirstMessage() const {
    std::string_view rest = text_;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        // "[14:03:50] SMILES Parse Error: ..."
        if (!line.empty() && line.front() == '[') {
            const auto close = line.find("] ");
            if (close != std::string_view::npos) line.remove_prefix(close + 2);
        }
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
        if (!line.empty() && line.find_first_not_of("*") != std::string_view::npos) return std::string(line);
    }
    return {};
}

}  // namespace ionsift::dbtool
