#include <gtest/gtest.h>

#include <string>

#include "shell/host_link.h"
#include "tests/native/recording_host.h"

namespace ionsift {
namespace {

using testing::RecordingHost;

TEST(SendCommand, WithoutHostRecordNothingIsSentAndMinusOneComesBack) {
    SetHostContext(nullptr);
    EXPECT_EQ(SendCommand("DbClose %s", "h1"), -1);
    EXPECT_EQ(CommandBufferCapacity(), 0u);
}

TEST(SendCommand, FormatsSendsAndReturnsTheHostsErrorCode) {
    RecordingHost host;
    host.Respond([](const std::string&) { return RecordingHost::Answer{7, "0 no such file"}; });
    EXPECT_EQ(SendCommand("DbOpen \"%sData\\Databases\\%s.db\"", "C:\\Host\\", "natural"), 7);
    ASSERT_EQ(host.Commands().size(), 1u);
    EXPECT_EQ(host.Commands()[0], "DbOpen \"C:\\Host\\Data\\Databases\\natural.db\"");
    EXPECT_STREQ(HostResultText(), "0 no such file");
}

TEST(SendCommand, CommandsAroundTheBufferSizeArriveIntactAndTheBufferNeverShrinks) {
    RecordingHost host;
    struct Step {
        std::size_t length;
        std::size_t capacityAfter;
    };
    // 256 bytes at first; a command that does not fit (with its terminator)
    // grows the buffer to exactly its size; shorter ones keep the larger buffer.
    const Step steps[] = {{255, 256}, {256, 257}, {257, 258}, {10000, 10001}, {3, 10001}};
    for (const Step& step : steps) {
        const std::string text(step.length, 'x');
        EXPECT_EQ(SendCommand("%s", text.c_str()), 0);
        EXPECT_EQ(host.Commands().back(), text) << "length " << step.length;
        EXPECT_EQ(CommandBufferCapacity(), step.capacityAfter) << "length " << step.length;
    }
}

TEST(SendCommand, DirectCommandsAreNotReformatted) {
    RecordingHost host;
    SendDirect("CopyText \"100% pure\"");
    ASSERT_EQ(host.Commands().size(), 1u);
    EXPECT_EQ(host.Commands()[0], "CopyText \"100% pure\"");
    EXPECT_EQ(CommandBufferCapacity(), 0u) << "a direct command needs no buffer";
}

TEST(SendCommand, ReleasedBufferIsAllocatedAgainOnTheNextCommand) {
    RecordingHost host;
    SendCommand("Cursor %s", "Busy");
    ReleaseCommandBuffer();
    EXPECT_EQ(CommandBufferCapacity(), 0u);
    EXPECT_EQ(SendCommand("Cursor %s", "Default"), 0);
    EXPECT_EQ(host.Commands().back(), "Cursor Default");
}

}  // namespace
}  // namespace ionsift
