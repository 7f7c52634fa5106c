// What the toolkit (RDKit) says while it reads one record. RDKit reports some
// faults, a SMILES syntax error among them, only on its error log and hands
// back no molecule; its logs are routed here so that each worker thread
// reads what was said about its own record, and nothing reaches stderr.
#pragma once

#include <string>

namespace ionsift::dbtool {

// Sends the toolkit's logs through the captures below; once, before any
// thread uses the toolkit (a capture calls it too).
void RouteToolkitLogs();

// Collects the calling thread's toolkit messages while it lives.
class ToolkitLogCapture {
public:
    ToolkitLogCapture();
    ~ToolkitLogCapture();
    ToolkitLogCapture(const ToolkitLogCapture&) = delete;
    ToolkitLogCapture& operator=(const ToolkitLogCapture&) = delete;

    // The first message, without the log's time stamp; empty when none.
    std::string FirstMessage() const;

private:
    std::string text_;
    std::string* previous_;
};

}  // namespace ionsift::dbtool
