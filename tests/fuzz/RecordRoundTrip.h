#pragma once

// A settings record read from any bytes and written again. Whatever came in, it is written at its
// record length, and writing is stable: the record read back from what was written writes the very
// same bytes. Where every stored value keeps its meaning exactly (the numbers of the time settings),
// the bytes written are those read; texts give NUL bytes back as spaces, and bytes past the end of
// a short input read as zeros.

#include "FuzzSupport.h"

#include <initializer_list>
#include <utility>

namespace fuzz {

struct ByteRange
{
    int begin;
    int end; // one past the last byte
};

template<typename Record> QByteArray WrittenAgain(const QByteArray& input, int length)
{
    Record record;
    decodeRecord(input, record);
    const QByteArray encoded = encodeRecord(record);
    FUZZ_CHECK(encoded.size() == length);

    Record again;
    decodeRecord(encoded, again);
    FUZZ_CHECK(encodeRecord(again) == encoded);
    return encoded;
}

// The record's bytes come back as they were, apart from `settled` ranges, whose values are written
// back in the one form that means the same (a switch stored as 2 comes back off, as 0).
template<typename Record>
void CheckRoundTrip(const QByteArray& input, int length, std::initializer_list<ByteRange> texts,
    std::initializer_list<ByteRange> settled = {})
{
    const QByteArray encoded = WrittenAgain<Record>(input, length);
    QByteArray expected = input.left(length);
    expected.resize(length, '\0');
    for (const ByteRange& text : texts) {
        for (int i = text.begin; i < text.end; ++i) {
            if (expected[i] == '\0')
                expected[i] = ' ';
        }
    }
    for (const ByteRange& range : settled) {
        for (int i = range.begin; i < range.end; ++i)
            expected[i] = encoded[i];
    }
    FUZZ_CHECK(encoded == expected);
}

} // namespace fuzz
