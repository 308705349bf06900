#include "execution/CLHttpClient.h"

#include "analysis/PageDecoder.h"
#include "execution/NetworkErrorRule.h"
#include "execution/http/LoopbackServer.h"
#include "execution/http/SilentListener.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <string>
#include <vector>
#include <zlib.h>

namespace harvexa {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::LoopbackServer;
using test::SilentListener;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Gzip(const std::string& data) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// A failure as the capture worker and the processing log see it: its kind, whether it counts towards
// the Max_Error stop, and a message in words that the log's rule judges the same way.
void ExpectFailure(const HttpFetchResult& result, FetchFailureKind kind, bool counts) {
    EXPECT_EQ(result.Outcome, FetchOutcome::Failed) << result.Message;
    EXPECT_EQ(result.FailureKind, kind) << FetchFailureKindName(result.FailureKind) << ": " << result.Message;
    EXPECT_EQ(result.CountsAsConnectionError(), counts) << result.Message;
    EXPECT_EQ(NetworkErrorRule::IsNetworkError(result.Message), counts) << result.Message;
    EXPECT_EQ(result.Message.find("CURLE"), std::string::npos) << result.Message;
    EXPECT_EQ(result.Message.find("violation"), std::string::npos) << result.Message;
}

// Sets environment variables for one test and puts the old values back.
class EnvironmentOverride final {
public:
    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvironmentOverride() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class CLHttpClientTest : public ::testing::Test {
protected:
    void Start() { ASSERT_TRUE(m_server.Start()); }

    HttpFetchResult Fetch(const std::string& target, HttpFetchOptions options = {}) {
        CLHttpClient client(std::move(options));
        return client.Get(m_server.Url(target));
    }

    // Headers of the last request the server saw.
    std::string SeenHeader(const std::string& name) {
        const std::lock_guard lock(m_mutex);
        return m_lastRequest.get_header_value(name);
    }
    void Remember(const httplib::Request& request) {
        const std::lock_guard lock(m_mutex);
        m_lastRequest = request;
        ++m_requests;
    }
    int Requests() {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }

    LoopbackServer m_server;
    std::mutex m_mutex;
    httplib::Request m_lastRequest;
    int m_requests = 0;
};

TEST_F(CLHttpClientTest, NormalPageArrivesWholeWithItsFactsAndTheDefaultUserAgent) {
    const std::string page = "<html><title>Caf\xC3\xA9 Ol\xC3\xA1</title>contato@example.com</html>";
    m_server.Routes().Get("/page", [&](const httplib::Request& request, httplib::Response& response) {
        Remember(request);
        response.set_content(page, "text/html; charset=UTF-8");
    });
    Start();
    const HttpFetchResult result = Fetch("/page");
    EXPECT_EQ(result.Outcome, FetchOutcome::Complete);
    EXPECT_EQ(result.FailureKind, FetchFailureKind::None);
    EXPECT_EQ(result.Message, "");
    EXPECT_EQ(result.HttpStatus, 200);
    EXPECT_EQ(result.ContentType, "text/html; charset=UTF-8");
    EXPECT_EQ(result.FinalUrl, m_server.Url("/page"));
    EXPECT_EQ(result.Text, page);
    EXPECT_EQ(result.BytesReceived, static_cast<std::int64_t>(page.size()));
    EXPECT_TRUE(result.HasTextContent());
    EXPECT_FALSE(result.CountsAsConnectionError());
    EXPECT_EQ(SeenHeader("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
    EXPECT_NE(SeenHeader("Accept-Encoding").find("gzip"), std::string::npos);
}

TEST_F(CLHttpClientTest, UserAgentCanBeOverridden) {
    m_server.Routes().Get("/ua", [&](const httplib::Request& request, httplib::Response& response) {
        Remember(request);
        response.set_content("ok", "text/plain");
    });
    Start();
    HttpFetchOptions options;
    options.UserAgent = "Harvexa test agent/1.0";
    ASSERT_EQ(Fetch("/ua", options).Outcome, FetchOutcome::Complete);
    EXPECT_EQ(SeenHeader("User-Agent"), "Harvexa test agent/1.0");
}

TEST_F(CLHttpClientTest, Windows1252PageIsDecodedToUtf8) {
    m_server.Routes().Get("/latin", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("Jos\xE9 S\xE3o Paulo \x80 10 \x93ok\x94", "text/html; charset=windows-1252");
    });
    Start();
    const HttpFetchResult result = Fetch("/latin");
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete);
    EXPECT_EQ(result.Text, "Jos\xC3\xA9 S\xC3\xA3o Paulo \xE2\x82\xAC 10 \xE2\x80\x9Cok\xE2\x80\x9D");
}

TEST_F(CLHttpClientTest, InvalidBytesUnderAUtf8DeclarationGiveValidText) {
    m_server.Routes().Get("/broken", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string("ok \xFF\xFE x \xC3( y \xED\xA0\x80 z \xF0\x9F end\xC3"),
                             "text/html; charset=utf-8");
    });
    Start();
    const HttpFetchResult result = Fetch("/broken");
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete);
    EXPECT_TRUE(PageDecoder::IsValidUtf8(result.Text));
    EXPECT_TRUE(result.Text.starts_with("ok \xEF\xBF\xBD")) << result.Text;
    EXPECT_NE(result.Text.find(" y "), std::string::npos);
    EXPECT_NE(result.Text.find(" end"), std::string::npos);
}

TEST_F(CLHttpClientTest, GzipBodyIsInflatedAndTheLimitAppliesToTheInflatedBytes) {
    const std::string page = "<html>" + Repeat("<p>Contato: vendas@example.com.br</p>\n", 5000) + "</html>";
    const std::string packed = Gzip(page);
    ASSERT_LT(packed.size(), page.size() / 10);
    m_server.Routes().Get("/gz", [&](const httplib::Request& request, httplib::Response& response) {
        Remember(request);
        response.set_header("Content-Encoding", "gzip");
        response.set_content_provider(
            packed.size(), "text/html; charset=utf-8",
            [&packed](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                sink.write(packed.data() + offset, std::min(length, packed.size() - offset));
                return true;
            });
    });
    Start();
    const HttpFetchResult whole = Fetch("/gz");
    ASSERT_EQ(whole.Outcome, FetchOutcome::Complete) << whole.Message;
    EXPECT_EQ(whole.Text, page);
    EXPECT_EQ(whole.BytesReceived, static_cast<std::int64_t>(page.size()));
    EXPECT_EQ(whole.TransferBytes, static_cast<std::int64_t>(packed.size()));

    // A small compressed body must not expand past the page-size limit.
    HttpFetchOptions limited;
    limited.MaxSize = 50000;
    const HttpFetchResult cut = Fetch("/gz", limited);
    EXPECT_EQ(cut.Outcome, FetchOutcome::TooLarge);
    EXPECT_EQ(cut.Text, page.substr(0, 50000));
    EXPECT_LT(cut.BytesReceived, static_cast<std::int64_t>(page.size()));
}

TEST_F(CLHttpClientTest, BinaryContentIsReturnedWithItsType) {
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1F\x15\xC4\x89",
                          33);
    m_server.Routes().Get("/logo.png", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(png, "image/png");
    });
    Start();
    const HttpFetchResult result = Fetch("/logo.png");
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete);
    EXPECT_EQ(result.ContentType, "image/png");
    EXPECT_FALSE(result.HasTextContent());
    EXPECT_EQ(result.BytesReceived, 33);
    EXPECT_TRUE(PageDecoder::IsValidUtf8(result.Text));
}

TEST_F(CLHttpClientTest, HttpErrorStatusesFailWithTheirNameAndDoNotCount) {
    m_server.Routes().Get(R"(/status/(\d+))",
                          [](const httplib::Request& request, httplib::Response& response) {
                              response.status = std::stoi(request.matches[1]);
                              response.set_content("<html>error page</html>", "text/html");
                          });
    Start();
    const struct {
        int status;
        const char* words;
    } cases[] = {{404, "HTTP 404 Not Found: "},
                 {500, "HTTP 500 Internal Server Error: "},
                 {503, "HTTP 503 Service Unavailable: "},
                 {401, "HTTP 401 Unauthorized: "},
                 {599, "HTTP 599: "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        const std::string target = "/status/" + std::to_string(c.status);
        const HttpFetchResult result = Fetch(target);
        ExpectFailure(result, FetchFailureKind::HttpError, false);
        EXPECT_EQ(result.HttpStatus, c.status);
        EXPECT_EQ(result.Message, c.words + m_server.Url(target));
        EXPECT_EQ(result.Text, "<html>error page</html>");
    }
}

TEST_F(CLHttpClientTest, RedirectChainIsFollowedAndOnlyTheLastPageCounts) {
    auto& routes = m_server.Routes();
    routes.Get("/hop1", [](const httplib::Request&, httplib::Response& response) {
        response.status = 302;
        response.set_header("Location", "/hop2");
        response.set_content(std::string(3000, 'r'), "text/html");
    });
    routes.Get("/hop2", [&](const httplib::Request&, httplib::Response& response) {
        response.status = 301;
        response.set_header("Location", m_server.Url("/hop3"));
    });
    routes.Get("/hop3", [](const httplib::Request&, httplib::Response& response) {
        response.status = 307;
        response.set_header("Location", "final");
    });
    routes.Get("/final", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("final page", "text/plain");
    });
    Start();
    CLHttpClient client;
    int responses = 0;
    client.SetOnStatus(
        [&](FetchStatus status, const std::string&) { responses += status == FetchStatus::Receiving; });
    const HttpFetchResult result = client.Get(m_server.Url("/hop1"));
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete) << result.Message;
    EXPECT_EQ(result.FinalUrl, m_server.Url("/final"));
    EXPECT_EQ(result.HttpStatus, 200);
    EXPECT_EQ(result.Text, "final page");
    EXPECT_EQ(result.BytesReceived, 10);
    EXPECT_EQ(responses, 4);
}

TEST_F(CLHttpClientTest, RedirectsStopAfterTenAndALoopFailsClearly) {
    auto& routes = m_server.Routes();
    routes.Get(R"(/chain/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        const int left = std::stoi(request.matches[1]);
        if (left == 0) {
            response.set_content("end of chain", "text/plain");
            return;
        }
        response.status = 302;
        response.set_header("Location", "/chain/" + std::to_string(left - 1));
    });
    routes.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
        response.status = 302;
        response.set_header("Location", "/loop");
    });
    Start();
    const HttpFetchResult ten = Fetch("/chain/10");
    EXPECT_EQ(ten.Outcome, FetchOutcome::Complete) << ten.Message;
    EXPECT_EQ(ten.Text, "end of chain");

    const HttpFetchResult eleven = Fetch("/chain/11");
    ExpectFailure(eleven, FetchFailureKind::TooManyRedirects, false);

    const HttpFetchResult loop = Fetch("/loop");
    ExpectFailure(loop, FetchFailureKind::TooManyRedirects, false);
    EXPECT_EQ(loop.Message, "Too many redirects (more than 10): " + m_server.Url("/loop"));
}

TEST_F(CLHttpClientTest, RedirectToALocalFileIsRefused) {
    m_server.Routes().Get("/tofile", [](const httplib::Request&, httplib::Response& response) {
        response.status = 302;
        response.set_header("Location", "file:///etc/passwd");
    });
    Start();
    const HttpFetchResult result = Fetch("/tofile");
    ExpectFailure(result, FetchFailureKind::BadAddress, false);
    EXPECT_EQ(result.Text.find("root:"), std::string::npos);
}

TEST_F(CLHttpClientTest, AddressesThatAreNotHttpFailWithoutNetwork) {
    for (const std::string address :
         {"ftp://127.0.0.1/file.txt", "file:///etc/passwd", "http://", "http://exa mple.com/"}) {
        SCOPED_TRACE(address);
        CLHttpClient client;
        const HttpFetchResult result = client.Get(address);
        ExpectFailure(result, FetchFailureKind::BadAddress, false);
        EXPECT_EQ(result.Text, "");
    }
}

TEST_F(CLHttpClientTest, BlanksAndOtherUnsafeCharactersAreSentPercentEncoded) {
    m_server.Routes().Get(R"(/files/.*)", [&](const httplib::Request& request, httplib::Response& response) {
        Remember(request);
        response.set_content("found", "text/plain");
    });
    Start();
    const HttpFetchResult result = Fetch("/files/my page.html?q=a b|c&d=\"x\"");
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete) << result.Message;
    EXPECT_EQ(result.Text, "found");
    const std::lock_guard lock(m_mutex);
    EXPECT_EQ(m_lastRequest.target, "/files/my%20page.html?q=a%20b%7Cc&d=%22x%22");
}

TEST_F(CLHttpClientTest, StatusReportsFollowTheFetchInOrder) {
    m_server.Routes().Get("/page", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("hello", "text/plain");
    });
    Start();
    CLHttpClient client;
    std::vector<std::pair<FetchStatus, std::string>> reports;
    client.SetOnStatus(
        [&](FetchStatus status, const std::string& text) { reports.emplace_back(status, text); });
    ASSERT_EQ(client.Get(m_server.Url("/page")).Outcome, FetchOutcome::Complete);
    const std::string address = "127.0.0.1:" + std::to_string(m_server.Port());
    const std::vector<std::pair<FetchStatus, std::string>> expected = {
        {FetchStatus::Resolving, "Resolving 127.0.0.1"},
        {FetchStatus::Connecting, "Connecting to " + address},
        {FetchStatus::Connected, "Connected to " + address},
        {FetchStatus::Receiving, "Receiving"},
        {FetchStatus::Disconnected, "Disconnected"}};
    EXPECT_EQ(reports, expected);
}

TEST_F(CLHttpClientTest, OnWorkReportsGrowingByteCounts) {
    const std::string body(300000, 'b');
    m_server.Routes().Get("/big", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/octet-stream");
    });
    Start();
    CLHttpClient client;
    std::vector<std::int64_t> counts;
    client.SetOnWork([&](std::int64_t bytes) { counts.push_back(bytes); });
    const HttpFetchResult result = client.Get(m_server.Url("/big"));
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete);
    ASSERT_GT(counts.size(), 1u);
    for (std::size_t i = 1; i < counts.size(); ++i)
        EXPECT_GT(counts[i], counts[i - 1]);
    EXPECT_EQ(counts.back(), 300000);
}

TEST_F(CLHttpClientTest, PageSizeLimitKeepsTheFirstMaxSizeBytes) {
    m_server.Routes().Get(R"(/size/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        std::string body(std::stoul(request.matches[1]), 'a');
        for (std::size_t i = 0; i < body.size(); i += 97)
            body[i] = 'z';
        response.set_content(body, "text/plain");
    });
    Start();
    const struct {
        std::int64_t maxSize;
        std::size_t bodySize;
        FetchOutcome outcome;
        std::size_t kept;
    } cases[] = {{1000, 1000, FetchOutcome::Complete, 1000},
                 {1000, 1001, FetchOutcome::TooLarge, 1000},
                 {1000, 200000, FetchOutcome::TooLarge, 1000},
                 {0, 200000, FetchOutcome::Complete, 200000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.maxSize) + " / " + std::to_string(c.bodySize));
        HttpFetchOptions options;
        options.MaxSize = c.maxSize;
        const std::string target = "/size/" + std::to_string(c.bodySize);
        const HttpFetchResult result = Fetch(target, options);
        EXPECT_EQ(result.Outcome, c.outcome) << result.Message;
        ASSERT_EQ(result.Text.size(), c.kept);
        EXPECT_EQ(result.Text[0], 'z');
        EXPECT_EQ(result.Text[97], 'z');
        EXPECT_GE(result.BytesReceived, static_cast<std::int64_t>(c.kept));
        if (c.outcome == FetchOutcome::TooLarge) {
            EXPECT_GT(result.BytesReceived, c.maxSize);
            EXPECT_EQ(result.Message, "Page larger than the limit of 1000 bytes: " + m_server.Url(target));
            EXPECT_FALSE(result.CountsAsConnectionError());
            EXPECT_FALSE(NetworkErrorRule::IsNetworkError(result.Message));
        }
    }
}

TEST_F(CLHttpClientTest, CutInsideACharacterKeepsUtf8PagesUtf8AndSingleBytePagesWhole) {
    const std::string utf8 = Repeat("\xC3\xA9", 1000); // é, two bytes each
    const std::string latin(2000, '\xE9');             // é, one byte each
    auto& routes = m_server.Routes();
    routes.Get("/undeclared", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(utf8, "text/html");
    });
    routes.Get("/declared", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(utf8, "text/html; charset=utf-8");
    });
    routes.Get("/latin", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(latin, "text/html; charset=iso-8859-1");
    });
    Start();
    HttpFetchOptions options;
    options.MaxSize = 1001; // ends in the middle of the 501st é of the UTF-8 pages
    for (const char* target : {"/undeclared", "/declared"}) {
        SCOPED_TRACE(target);
        const HttpFetchResult result = Fetch(target, options);
        EXPECT_EQ(result.Outcome, FetchOutcome::TooLarge);
        EXPECT_EQ(result.Text, Repeat("\xC3\xA9", 500));
    }
    const HttpFetchResult single = Fetch("/latin", options);
    EXPECT_EQ(single.Outcome, FetchOutcome::TooLarge);
    EXPECT_EQ(single.Text, Repeat("\xC3\xA9", 1001));
}

TEST_F(CLHttpClientTest, HugeStreamIsAbandonedSoonAfterTheLimit) {
    constexpr std::size_t kBody = 50u * 1024 * 1024;
    constexpr std::int64_t kLimit = 1024 * 1024;
    std::atomic<std::size_t> sent{0};
    std::promise<void> finished;
    m_server.Routes().Get("/huge", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            kBody, "application/octet-stream",
            [&sent](std::size_t, std::size_t length, httplib::DataSink& sink) {
                const std::string piece(std::min<std::size_t>(length, 64 * 1024), 'h');
                if (!sink.write(piece.data(), piece.size()))
                    return false;
                sent += piece.size();
                return true;
            },
            [&finished](bool) { finished.set_value(); });
    });
    Start();
    HttpFetchOptions options;
    options.MaxSize = kLimit;
    const auto start = Clock::now();
    const HttpFetchResult result = Fetch("/huge", options);
    const double elapsed = SecondsSince(start);
    EXPECT_EQ(result.Outcome, FetchOutcome::TooLarge);
    EXPECT_EQ(result.Text.size(), static_cast<std::size_t>(kLimit));
    EXPECT_GT(result.BytesReceived, kLimit);
    EXPECT_LE(result.BytesReceived, kLimit + 64 * 1024);
    EXPECT_LT(elapsed, 5.0);
    ASSERT_EQ(finished.get_future().wait_for(10s), std::future_status::ready);
    // Whatever the socket buffers swallowed, the server was stopped far short of 50 MB.
    EXPECT_LT(sent.load(), 20u * 1024 * 1024);
}

TEST_F(CLHttpClientTest, ConnectionRefusedDoesNotCountAsAConnectionError) {
    const int port = SilentListener::ClosedPort();
    CLHttpClient client;
    const auto start = Clock::now();
    const HttpFetchResult result = client.Get("http://127.0.0.1:" + std::to_string(port) + "/");
    ExpectFailure(result, FetchFailureKind::ConnectionRefused, false);
    EXPECT_EQ(result.Message, "Connection refused: 127.0.0.1:" + std::to_string(port));
    EXPECT_LT(SecondsSince(start), 2.0);
}

TEST_F(CLHttpClientTest, HostThatDoesNotResolveCounts) {
    HttpFetchOptions options;
    options.TimeoutMs = 2000; // bounds a resolver that tries the network
    CLHttpClient client(options);
    const auto start = Clock::now();
    const HttpFetchResult result = client.Get("http://h1.invalid/contact.html");
    ExpectFailure(result, FetchFailureKind::HostNotFound, true);
    EXPECT_TRUE(result.Message == "Host not found: h1.invalid" ||
                result.Message == "Host not found (no answer within 2 s): h1.invalid")
        << result.Message;
    EXPECT_LT(SecondsSince(start), 5.0);
}

TEST_F(CLHttpClientTest, ServerThatNeverAnswersTimesOutAndCounts) {
    SilentListener silent;
    ASSERT_GT(silent.Port(), 0);
    HttpFetchOptions options;
    options.TimeoutMs = 1000;
    CLHttpClient client(options);
    const auto start = Clock::now();
    const HttpFetchResult result = client.Get(silent.Url());
    const double elapsed = SecondsSince(start);
    ExpectFailure(result, FetchFailureKind::ReadTimedOut, true);
    EXPECT_EQ(result.Message, "Connection timed out after 1 s without an answer: " + silent.Url());
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 5.0);
}

TEST_F(CLHttpClientTest, ServerThatCannotBeReachedTimesOutConnectingAndCounts) {
    SilentListener full;
    ASSERT_TRUE(full.FillQueue());
    HttpFetchOptions options;
    options.TimeoutMs = 1000;
    CLHttpClient client(options);
    const auto start = Clock::now();
    const HttpFetchResult result = client.Get(full.Url());
    const double elapsed = SecondsSince(start);
    ExpectFailure(result, FetchFailureKind::ConnectTimedOut, true);
    EXPECT_EQ(result.Message, "Connection timed out after 1 s: 127.0.0.1:" + std::to_string(full.Port()));
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 5.0);
}

TEST_F(CLHttpClientTest, HaltFlagEndsAStalledTransferPromptlyAndKeepsWhatArrived) {
    m_server.Routes().Get("/stall", [&](const httplib::Request&, httplib::Response& response) {
        // Not a text type: the server would hold compressed output back.
        response.set_chunked_content_provider("application/octet-stream",
                                              [&](std::size_t offset, httplib::DataSink& sink) {
                                                  if (offset == 0) {
                                                      const std::string first(10000, 's');
                                                      return sink.write(first.data(), first.size());
                                                  }
                                                  m_server.WaitForRelease(20s);
                                                  sink.done();
                                                  return true;
                                              });
    });
    Start();
    std::atomic<bool> halt{false};
    HttpFetchOptions options;
    options.TimeoutMs = 0; // no time-out timer that would wake the transfer anyway
    options.Halt = &halt;
    CLHttpClient client(options);
    std::promise<void> firstBytes;
    std::once_flag once;
    client.SetOnWork([&](std::int64_t) { std::call_once(once, [&] { firstBytes.set_value(); }); });
    auto fetch = std::async(std::launch::async, [&] { return client.Get(m_server.Url("/stall")); });
    ASSERT_EQ(firstBytes.get_future().wait_for(10s), std::future_status::ready);
    const auto start = Clock::now();
    halt = true;
    ASSERT_EQ(fetch.wait_for(5s), std::future_status::ready);
    const double elapsed = SecondsSince(start);
    const HttpFetchResult result = fetch.get();
    EXPECT_EQ(result.Outcome, FetchOutcome::Halted);
    EXPECT_EQ(result.Message, "Download stopped: " + m_server.Url("/stall"));
    EXPECT_EQ(result.Text, std::string(10000, 's'));
    EXPECT_FALSE(result.CountsAsConnectionError());
    EXPECT_LT(elapsed, 0.5);
}

TEST_F(CLHttpClientTest, HaltFlagAlreadySetFetchesNothing) {
    m_server.Routes().Get("/page", [&](const httplib::Request& request, httplib::Response& response) {
        Remember(request);
        response.set_content("page", "text/plain");
    });
    Start();
    std::atomic<bool> halt{true};
    HttpFetchOptions options;
    options.Halt = &halt;
    const HttpFetchResult result = Fetch("/page", options);
    EXPECT_EQ(result.Outcome, FetchOutcome::Halted);
    EXPECT_EQ(Requests(), 0);
}

TEST_F(CLHttpClientTest, DisconnectFromInsideOnWorkEndsTheTransfer) {
    const std::string body(2'000'000, 'd');
    m_server.Routes().Get("/big", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/octet-stream");
    });
    Start();
    CLHttpClient client;
    client.SetOnWork([&](std::int64_t bytes) {
        if (bytes > 20000)
            client.Disconnect();
    });
    const HttpFetchResult result = client.Get(m_server.Url("/big"));
    EXPECT_EQ(result.Outcome, FetchOutcome::Halted);
    EXPECT_GT(result.BytesReceived, 20000);
    EXPECT_LT(result.BytesReceived, 2'000'000);
    EXPECT_EQ(result.Text.size(), static_cast<std::size_t>(result.BytesReceived));
    // The client stays disconnected.
    EXPECT_EQ(client.Get(m_server.Url("/big")).Outcome, FetchOutcome::Halted);
}

TEST_F(CLHttpClientTest, HandlerThatThrowsEndsTheFetchAsAFailure) {
    m_server.Routes().Get("/page", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string(50000, 'p'), "application/octet-stream");
    });
    Start();
    CLHttpClient client;
    client.SetOnWork([](std::int64_t) { throw std::runtime_error("view gone"); });
    const HttpFetchResult result = client.Get(m_server.Url("/page"));
    ExpectFailure(result, FetchFailureKind::TransferFailed, false);
    EXPECT_NE(result.Message.find("view gone"), std::string::npos) << result.Message;
}

TEST_F(CLHttpClientTest, ProxyVariablesOfTheEnvironmentAreIgnored) {
    m_server.Routes().Get("/page", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("direct", "text/plain");
    });
    Start();
    const std::string deadProxy = "http://127.0.0.1:" + std::to_string(SilentListener::ClosedPort());
    EnvironmentOverride environment;
    for (const char* name :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        environment.Set(name, deadProxy);
    const HttpFetchResult result = Fetch("/page");
    ASSERT_EQ(result.Outcome, FetchOutcome::Complete) << result.Message;
    EXPECT_EQ(result.Text, "direct");
}

TEST_F(CLHttpClientTest, ProxyThatRefusesConnectionsIsNamedInTheMessage) {
    const int port = SilentListener::ClosedPort();
    HttpFetchOptions options;
    options.Proxy.Server = "127.0.0.1";
    options.Proxy.Port = port;
    CLHttpClient client(options);
    const HttpFetchResult result = client.Get("http://example.invalid/");
    ExpectFailure(result, FetchFailureKind::ConnectionRefused, false);
    EXPECT_EQ(result.Message, "Connection refused: proxy 127.0.0.1:" + std::to_string(port));
}

} // namespace
} // namespace harvexa
