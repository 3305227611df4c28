// Priorities as the transcript shows them, refusals the machine was told
// to make, and the ANSI conversion of configuration names.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"
#include "core/transcript.h"
#include "kernel/priority.h"

namespace {

std::string Transcribed(void (*calls)()) {
    std::FILE* out = std::tmpfile();
    hosted::OpenTranscript(out);
    calls();
    hosted::OpenTranscript(nullptr);
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    std::string lines;
    for (std::size_t at = 0; at < text.size();) { // without the time stamps
        std::size_t blank = text.find(' ', at), end = text.find('\n', at);
        lines += text.substr(blank + 1, end - blank);
        at = end + 1;
    }
    return lines;
}

TEST(HostedPriority, ChangesAreTranscribedAndRefusalsFailWithAccessDenied) {
    {
        hosted::MachineLock lock;
        hosted::Priorities() = hosted::PrioritySettings();
    }
    EXPECT_EQ(Transcribed([] {
                  EXPECT_TRUE(SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS));
                  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL));
                  EXPECT_FALSE(SetPriorityClass(GetCurrentProcess(), 0x1234));
                  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
                  {
                      hosted::MachineLock lock;
                      hosted::Priorities().classFails = true;
                  }
                  EXPECT_FALSE(SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS));
                  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
                  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
                  {
                      hosted::MachineLock lock;
                      hosted::Priorities().threadFails = true;
                  }
                  EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
              }),
              "priority class HIGH_PRIORITY_CLASS\n"
              "priority thread THREAD_PRIORITY_ABOVE_NORMAL\n"
              "priority class NORMAL_PRIORITY_CLASS failed\n"
              "priority thread THREAD_PRIORITY_NORMAL\n"
              "priority thread THREAD_PRIORITY_NORMAL failed\n");
}

TEST(HostedText, WideToAnsiKeepsLatin1AndMarksTheRest) {
    const WCHAR wide[] = {u'W', u'h', 0xE9, 0x263A, 0};
    char narrow[8] = "xxxxxxx";
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr), 5);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 8, nullptr, &usedDefault), 5);
    EXPECT_EQ(std::string(narrow), "Wh\xE9?");
    EXPECT_TRUE(usedDefault);
}

} // namespace
