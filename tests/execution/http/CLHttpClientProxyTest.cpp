#include "execution/CLHttpClient.h"
#include "execution/NetworkErrorRule.h"
#include "execution/http/LoopbackServer.h"
#include "execution/http/TinyproxyProcess.h"
#include "support/TempAppFolder.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <mutex>

namespace harvexa {
namespace {

using test::LoopbackServer;
using test::TempAppFolder;
using test::TinyproxyProcess;

// Requests through Debian's tinyproxy with basic authentication, both on loopback.
class CLHttpClientProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TinyproxyProcess::Installed())
            GTEST_SKIP() << "tinyproxy is not installed at " << TinyproxyProcess::kProgram
                         << " (Debian package tinyproxy); the proxy tests need it";
        m_server.Routes().Get("/page", [this](const httplib::Request& request, httplib::Response& response) {
            const std::lock_guard lock(m_mutex);
            m_via = request.get_header_value("Via");
            response.set_content("through the proxy", "text/plain");
        });
        ASSERT_TRUE(m_server.Start());
        ASSERT_TRUE(m_proxy.Start(m_folder.Path(), "harvexa", "s3cret")) << m_proxy.Log();
    }

    HttpFetchOptions ProxyOptions(bool basicAuthentication, const std::string& password) const {
        HttpFetchOptions options;
        options.TimeoutMs = 10000;
        options.Proxy.Server = "127.0.0.1";
        options.Proxy.Port = m_proxy.Port();
        options.Proxy.BasicAuthentication = basicAuthentication;
        options.Proxy.Username = "harvexa";
        options.Proxy.Password = password;
        return options;
    }

    std::string Via() {
        const std::lock_guard lock(m_mutex);
        return m_via;
    }

    std::string ProxyName() const { return "127.0.0.1:" + std::to_string(m_proxy.Port()); }

    TempAppFolder m_folder{TempAppFolder::Contents::Empty};
    LoopbackServer m_server;
    TinyproxyProcess m_proxy;
    std::mutex m_mutex;
    std::string m_via;
};

void ExpectRefusedByProxy(const HttpFetchResult& result) {
    EXPECT_EQ(result.Outcome, FetchOutcome::Failed);
    EXPECT_FALSE(result.CountsAsConnectionError());
    EXPECT_FALSE(NetworkErrorRule::IsNetworkError(result.Message)) << result.Message;
    std::string lower = result.Message;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    EXPECT_NE(lower.find("proxy 127.0.0.1:"), std::string::npos) << result.Message;
}

TEST_F(CLHttpClientProxyTest, RightPasswordFetchesThePageThroughTheProxy) {
    CLHttpClient client(ProxyOptions(true, "s3cret"));
    const HttpFetchResult result = client.Get(m_server.Url("/page"));
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete) << result.Message << "\n" << m_proxy.Log();
    EXPECT_EQ(result.Text, "through the proxy");
    EXPECT_NE(Via().find("tinyproxy"), std::string::npos) << "Via: " << Via();
}

TEST_F(CLHttpClientProxyTest, WrongPasswordFailsAndNamesTheProxy) {
    CLHttpClient client(ProxyOptions(true, "wrong"));
    const HttpFetchResult result = client.Get(m_server.Url("/page"));
    ExpectRefusedByProxy(result);
    // tinyproxy answers a wrong password with 401 (a missing one with 407).
    EXPECT_EQ(result.FailureKind, FetchFailureKind::HttpError);
    EXPECT_EQ(result.HttpStatus, 401);
    EXPECT_EQ(result.Message, "HTTP 401 Unauthorized: " + m_server.Url("/page") + " (via the proxy " +
                                  ProxyName() + "; it may have refused its user name or password)");
    EXPECT_EQ(Via(), "") << "the page must not have been fetched";
}

TEST_F(CLHttpClientProxyTest, MissingCredentialsFailAsProxyAuthentication) {
    CLHttpClient client(ProxyOptions(false, ""));
    const HttpFetchResult result = client.Get(m_server.Url("/page"));
    ExpectRefusedByProxy(result);
    EXPECT_EQ(result.FailureKind, FetchFailureKind::ProxyAuthFailed);
    EXPECT_EQ(result.HttpStatus, 407);
    EXPECT_EQ(result.Message,
              "Proxy authentication failed (HTTP 407 Proxy Authentication Required) at proxy " + ProxyName() +
                  ": " + m_server.Url("/page"));
}

TEST_F(CLHttpClientProxyTest, RefusedTunnelForHttpsFailsAsProxyAuthentication) {
    CLHttpClient client(ProxyOptions(false, ""));
    const std::string url = "https://127.0.0.1:" + std::to_string(m_server.Port()) + "/page";
    const HttpFetchResult result = client.Get(url);
    ExpectRefusedByProxy(result);
    EXPECT_EQ(result.FailureKind, FetchFailureKind::ProxyAuthFailed) << result.Message;
    EXPECT_EQ(result.Message,
              "Proxy authentication failed (HTTP 407 Proxy Authentication Required) at proxy " + ProxyName() +
                  ": " + url);
}

} // namespace
} // namespace harvexa
