#pragma once

// A settings record read from any bytes and written again: the record length, whatever came in,
// and the same bytes back for a record of that length, except NUL bytes in texts, which read as
// spaces. Bytes past the end of a short input read as zeros.

#include "FuzzSupport.h"

#include <initializer_list>
#include <utility>

namespace fuzz {

struct ByteRange
{
    int begin;
    int end; // one past the last byte
};

template<typename Record>
void CheckRoundTrip(const QByteArray& input, int length, std::initializer_list<ByteRange> texts)
{
    Record record;
    DecodeRecord(input, record);
    const QByteArray encoded = EncodeRecord(record);
    FUZZ_CHECK(encoded.size() == length);

    QByteArray expected = input.left(length);
    expected.resize(length, '\0');
    for (const ByteRange& text : texts) {
        for (int i = text.begin; i < text.end; ++i) {
            if (expected[i] == '\0')
                expected[i] = ' ';
        }
    }
    FUZZ_CHECK(encoded == expected);

    Record again;
    DecodeRecord(encoded, again);
    FUZZ_CHECK(EncodeRecord(again) == encoded);
}

} // namespace fuzz
