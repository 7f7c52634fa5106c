// A host for the native tests: a context record whose command callback
// records every command and answers from a script.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "shell/host_context.h"
#include "shell/host_link.h"

namespace ionsift::testing {

class RecordingHost {
public:
    struct Answer {
        int errorCode = 0;
        std::string text;
    };
    using Responder = std::function<Answer(const std::string& command)>;

    RecordingHost() {
        current_ = this;
        context_.errorCode = &errorCode_;
        context_.resultText = answer_.c_str();
        context_.command = &Dispatch;
        std::snprintf(context_.hostDirectory, sizeof context_.hostDirectory, "C:\\Host\\");
        SetHostContext(&context_);
    }
    ~RecordingHost() {
        SetHostContext(nullptr);
        ReleaseCommandBuffer();
        current_ = nullptr;
    }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    void Respond(Responder responder) { responder_ = std::move(responder); }
    const std::vector<std::string>& Commands() const { return commands_; }
    HostContext& Context() { return context_; }

private:
    static int IONSIFT_CDECL Dispatch(const char* command) {
        RecordingHost& host = *current_;
        host.commands_.emplace_back(command);
        const Answer answer = host.responder_ ? host.responder_(command) : Answer{};
        host.errorCode_ = answer.errorCode;
        host.answer_ = answer.text;
        host.context_.resultText = host.answer_.c_str();
        return host.errorCode_;
    }

    static inline RecordingHost* current_ = nullptr;
    HostContext context_{};
    int errorCode_ = 0;
    std::string answer_;
    Responder responder_;
    std::vector<std::string> commands_;
};

}  // namespace ionsift::testing
