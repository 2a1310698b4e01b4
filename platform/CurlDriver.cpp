#include "platform/CurlDriver.h"

#include "platform/Clock.h"

CurlRun DriveTransfer(CURLM* multi, CURL* easy, const bool* cancel, int pollMs)
{
    CurlRun run;
    run.multiResult = curl_multi_add_handle(multi, easy);
    int running = 1;
    while (run.multiResult == CURLM_OK && !*cancel) {
        run.multiResult = curl_multi_perform(multi, &running);
        if (run.multiResult != CURLM_OK || running == 0)
            break;
        run.multiResult = curl_multi_poll(multi, nullptr, 0, pollMs, nullptr);
        DoEvents();
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            run.finished = true;
            run.result = message->data.result;
        }
    }
    run.cancelled = *cancel && !run.finished;
    curl_multi_remove_handle(multi, easy);
    return run;
}
