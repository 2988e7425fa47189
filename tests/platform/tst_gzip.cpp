#include "platform/errors.h"
#include "platform/gzip.h"

#include <gtest/gtest.h>

using platform::gunzip;
using platform::gzip;

namespace {

std::string failureOf(const QByteArray &compressed)
{
    try {
        gunzip(compressed);
    } catch (const platform::Error &error) {
        return error.message().toStdString();
    }
    return "no error";
}

QByteArray sample()
{
    QByteArray data;
    for (int i = 0; i < 20000; ++i)
        data += QByteArray::number(i * 7919 % 1000) + "按钮图像 ";
    return data;
}

} // namespace

TEST(gzip, roundTripsLargeAndEmptyData)
{
    const QByteArray data = sample();
    const QByteArray packed = gzip(data);
    EXPECT_TRUE(packed.startsWith("\x1f\x8b"));
    EXPECT_LT(packed.size(), data.size() / 3);
    EXPECT_EQ(gunzip(packed), data);
    EXPECT_EQ(gunzip(gzip(QByteArray())), QByteArray());
}

TEST(gzip, concatenatedMembersAreJoined)
{
    EXPECT_EQ(gunzip(gzip("first ") + gzip("second") + gzip(QByteArray())), QByteArray("first second"));
}

TEST(gzip, damagedStreamsAreErrors)
{
    const QByteArray packed = gzip(sample());
    EXPECT_EQ(failureOf(QByteArray("plain text")), "gzip 数据无效：不是 gzip 格式");
    EXPECT_EQ(failureOf(QByteArray()), "gzip 数据无效：不是 gzip 格式");
    EXPECT_EQ(failureOf(packed.left(packed.size() - 4)), "gzip 数据无效：数据不完整");
    EXPECT_EQ(failureOf(packed.left(12)), "gzip 数据无效：数据不完整");
    EXPECT_EQ(failureOf(packed + "junk"), "gzip 数据无效：数据末尾有多余的字节");

    QByteArray badChecksum = packed;
    badChecksum[badChecksum.size() - 6] = char(badChecksum[badChecksum.size() - 6] ^ 0x55);
    EXPECT_EQ(failureOf(badChecksum), "gzip 数据无效：数据损坏（incorrect data check）");
}

TEST(gzip, everyTruncatedPrefixIsAnError)
{
    const QByteArray packed = gzip(QByteArray("短小的数据 short data"));
    for (qsizetype length = 0; length < packed.size(); ++length)
        EXPECT_THROW(gunzip(packed.left(length)), platform::Error) << length;
}
