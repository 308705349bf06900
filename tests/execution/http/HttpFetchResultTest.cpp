#include "execution/HttpFetchResult.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

TEST(HttpFetchResultTest, OnlyNetworkFailuresCountTowardsTheErrorStop) {
    const struct {
        FetchFailureKind kind;
        bool counts;
    } cases[] = {
        {FetchFailureKind::None, false},
        {FetchFailureKind::HostNotFound, true},
        {FetchFailureKind::ConnectTimedOut, true},
        {FetchFailureKind::ReadTimedOut, true},
        {FetchFailureKind::ConnectionRefused, false},
        {FetchFailureKind::InvalidArgument, false},
        {FetchFailureKind::OutOfBuffers, true},
        {FetchFailureKind::SocketError, true},
        {FetchFailureKind::TooManyRedirects, false},
        {FetchFailureKind::HttpError, false},
        {FetchFailureKind::ProxyAuthFailed, false},
        {FetchFailureKind::TlsError, false},
        {FetchFailureKind::BadAddress, false},
        {FetchFailureKind::TransferFailed, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FetchFailureKindName(c.kind));
        EXPECT_EQ(CountsAsConnectionError(c.kind), c.counts);
        HttpFetchResult failed;
        failed.Outcome = FetchOutcome::Failed;
        failed.FailureKind = c.kind;
        EXPECT_EQ(failed.CountsAsConnectionError(), c.counts);
    }
    // A page cut at the size limit or stopped by the user is no connection error.
    HttpFetchResult halted;
    halted.Outcome = FetchOutcome::Halted;
    EXPECT_FALSE(halted.CountsAsConnectionError());
}

TEST(HttpFetchResultTest, TextContentIsToldFromBinaryByContentType) {
    const struct {
        const char* type;
        bool text;
    } cases[] = {
        {"", true},
        {"text/html; charset=ISO-8859-1", true},
        {"TEXT/PLAIN", true},
        {"application/xhtml+xml", true},
        {"application/json", true},
        {"application/javascript", true},
        {"image/png", false},
        {"application/octet-stream", false},
        {"application/pdf", false},
        {"application/zip; name=\"html.zip\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        HttpFetchResult result;
        result.ContentType = c.type;
        EXPECT_EQ(result.HasTextContent(), c.text);
    }
}

} // namespace
} // namespace harvexa
