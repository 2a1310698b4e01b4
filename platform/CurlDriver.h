#pragma once

#include <curl/curl.h>

// How a transfer driven by DriveTransfer ended.
struct CurlRun
{
    bool finished = false; // libcurl finished the transfer; `result` tells how
    bool cancelled = false; // *cancel became true before it finished
    CURLcode result = CURLE_OK;
    CURLMcode multiResult = CURLM_OK; // a failure of the multi handle itself
};

// Runs `easy` on `multi` to its end while the windows stay responsive: libcurl is polled every
// `pollMs` milliseconds and pending window events are processed between two polls. An event
// handler may set *cancel to abandon the transfer. `easy` is added and removed again.
CurlRun DriveTransfer(CURLM* multi, CURL* easy, const bool* cancel, int pollMs);
