#pragma once
// The frame on the fake platform, in a program folder of the test's own: started as the
// program starts it, its tabs' views the fake ones.
#include <gtest/gtest.h>

#include <memory>

#include "shell/mdibrowser.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "tab/form1.h"

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { folder.useAsAppDir(); }
    std::unique_ptr<mdiBrowser> start(const QString &commandLine = {}) {
        auto f = std::make_unique<mdiBrowser>(platform, commandLine);
        f->Load();
        return f;
    }
    FakeWebView *view(Form1 *t) { return static_cast<FakeWebView *>(t->browser()); }
    TestFolder folder;
    FakePlatform platform;
};
