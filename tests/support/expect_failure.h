#pragma once

// The one way the program's code fails: qv::Failure, with the message the user sees.
#include <gmock/gmock.h>

#include "platform/failure.h"

// Expects `statement` to raise qv::Failure with exactly `message`; streams like EXPECT_EQ.
#define EXPECT_FAILS(statement, message) \
    EXPECT_THAT([&] { statement; }, ::testing::ThrowsMessage<::qv::Failure>(message))
