#include "engine_fixture.h"

#include "resource/qr_resc_stream.h"
#include "resource/qr_resc_streamgenerator.h"

#include <gtest/gtest.h>

class StreamGeneratorTest : public EngineFixture {
protected:
    QROwned<QRRESCStreamGenerator> generator = qrNew<QRRESCStreamGenerator>(nullptr, "Test Generator");
    std::string bytesOf(const QRRESCStream& stream)
    {
        return std::string(stream.getBytes().begin(), stream.getBytes().end());
    }
};

TEST_F(StreamGeneratorTest, ACommandIsItsOpcodeAndItsParametersInOrder)
{
    auto* command = generator->addCommand(3);
    command->appendInt(7);
    command->appendString("ab");
    auto& stream = generator->generateOwn();
    EXPECT_EQ(stream.getSize(), 14);
    EXPECT_EQ(bytesOf(stream), std::string("\x03\0\0\0\x07\0\0\0\x02\0\0\0ab", 14));
    EXPECT_EQ(command->getSize(), 14);
    EXPECT_EQ(command->getOffset(), 0);
    EXPECT_NE(logText().find("Stream info:  Commands: 1  Size: 14 byte"), std::string::npos);
}

TEST_F(StreamGeneratorTest, OffsetsSizesAndAllKinds)
{
    auto* first = generator->addCommand(1);
    first->appendBool(true);
    first->appendFloat(1.5f);
    auto* second = generator->addCommand(2);
    second->appendVector4({1, 2, 3, 4});
    EXPECT_EQ(second->getIndex(), 1);
    EXPECT_EQ(second->getOffset(), -1);
    generator->calculateOffsets();
    EXPECT_EQ(first->getSize(), 9);
    EXPECT_EQ(second->getOffset(), 9);
    EXPECT_EQ(second->getSize(), 20);

    auto target = qrNew<QRRESCStream>(nullptr);
    target->writeInt(99);
    generator->generate(*target);
    const std::string once = bytesOf(*target);
    generator->generate(*target);
    EXPECT_EQ(bytesOf(*target), once) << "the target is cleared before generating";
    EXPECT_EQ(once.size(), 29u);

    target->rewind();
    std::int32_t opcode = 0;
    bool flag = false;
    float f = 0;
    Vector4 v;
    EXPECT_TRUE(target->readInt(opcode) && target->readBool(flag) && target->readFloat(f));
    EXPECT_TRUE(target->readInt(opcode) && target->readVector4(v));
    EXPECT_EQ(opcode, 2);
    EXPECT_TRUE(flag);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(v, (Vector4{1, 2, 3, 4}));

    generator->clear();
    EXPECT_EQ(generator->getCommandCount(), 0);
    EXPECT_THROW(generator->getCommand(0), std::out_of_range);
}

TEST_F(StreamGeneratorTest, ShortAndCorruptReadsReportAndStayInside)
{
    auto stream = qrNew<QRRESCStream>(nullptr);
    stream->writeInt(0x7fffffff);
    stream->writeInt(0x64636261);
    stream->rewind();
    std::string text = "old";
    EXPECT_FALSE(stream->readString(text));
    EXPECT_EQ(text, "abcd") << "the characters that were there are kept";
    std::int32_t value = 5;
    EXPECT_FALSE(stream->readInt(value));
    EXPECT_EQ(value, 5);
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_NE(shownBoxes()[1].find("Method: read: \r\nError on reading data from stream"), std::string::npos);

    stream->clear();
    stream->writeInt(-4);
    stream->writeString("");
    stream->rewind();
    EXPECT_TRUE(stream->readString(text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(stream->getPosition(), 4);
}

TEST_F(StreamGeneratorTest, AssignCopiesTheContentAndThePosition)
{
    auto source = qrNew<QRRESCStream>(nullptr);
    source->writeInt(1);
    source->writeInt(2);
    source->seek(4);
    auto copy = qrNew<QRRESCStream>(nullptr);
    copy->writeString("gone");
    copy->assign(*source);
    EXPECT_EQ(copy->getSize(), 8);
    EXPECT_EQ(copy->getPosition(), 4);
    EXPECT_EQ(source->getPosition(), 4);
    std::int32_t value = 0;
    EXPECT_TRUE(copy->readInt(value));
    EXPECT_EQ(value, 2);
}
