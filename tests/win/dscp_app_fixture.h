#pragma once
// The program in-process for a test: each test starts the application object as the
// program does, with a profile key of its own, drives its windows, and ends it.

#include <gtest/gtest.h>

#include "dscp_in_process.h"

class DscpAppFixture : public ::testing::Test, public DscpInProcess {
protected:
    void SetUp() override { ASSERT_TRUE(StartApp({})); }
    void TearDown() override { StopApp(); }
};
