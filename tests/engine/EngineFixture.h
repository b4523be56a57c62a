// A run under code page 932 with a recording host, a temporary folder and a definition file.
#pragma once

#include <gtest/gtest.h>

#include "engine/Run.h"
#include "platform/CodePage.h"
#include "support/TestSupport.h"

namespace kavex::test {

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedCodePage = platform::ProcessCodePage();
        platform::SetProcessCodePage(platform::CodePage::ShiftJis());
        host.settings.m_sPath = dir / "definitions.txt";
    }
    void TearDown() override { platform::SetProcessCodePage(m_savedCodePage); }

    void Define(std::string_view content) { WriteFile(host.settings.m_sPath, content); }
    RunOutcome Run() { return RunReplacement(host); }

    TempDir dir;
    RecordingHost host;

private:
    platform::CodePage m_savedCodePage = platform::CodePage::WithoutLeadBytes();
};

}  // namespace kavex::test
