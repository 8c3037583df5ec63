#include "binarycodec.h"

#include "model/cellnames.h"
#include "model/cp932.h"
#include "model/messagetext.h"

#include <QtEndian>

const BinaryLayout Hy3Layout{150, true, false, 301};
const BinaryLayout HyoLayout{72, false, false, 201};
const BinaryLayout HypLayout{71, true, true, 201};

namespace BinaryCodec {

namespace {

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    qsizetype offset() const { return m_pos; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    bool canRead(qsizetype n) const { return n <= remaining(); }
    qint16 int16()
    {
        const auto v = qFromLittleEndian<qint16>(m_bytes.data() + m_pos);
        m_pos += 2;
        return v;
    }
    quint16 uint16()
    {
        const auto v = qFromLittleEndian<quint16>(m_bytes.data() + m_pos);
        m_pos += 2;
        return v;
    }
    QByteArrayView take(qsizetype n)
    {
        const QByteArrayView v = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return v;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

void putInt16(QByteArray& out, qint16 value)
{
    char le[2];
    qToLittleEndian<qint16>(value, le);
    out.append(le, 2);
}

QString truncatedAt(int record, const char* field, qsizetype offset)
{
    return QStringLiteral("ファイルが途中で切れています（%1 件目のレコードの%2、%3 バイト目）。")
        .arg(record)
        .arg(QString::fromUtf8(field))
        .arg(offset);
}

} // namespace

qint64 maxMeaningfulSize(const BinaryLayout& layout)
{
    return 2 + qint64(MaxReadRecords) * (FareRecord::MaxNameBytes + layout.fixedRecordSize());
}

Decoded decode(const BinaryLayout& layout, QByteArrayView bytes)
{
    Decoded result;
    Reader in(bytes);
    if (!in.canRead(2)) {
        result.error =
            bytes.isEmpty()
                ? QStringLiteral("ファイルが空です。")
                : QStringLiteral("ファイルが短すぎます（%1 バイト）。").arg(bytes.size());
        return result;
    }
    const int count = in.int16();
    if (count <= 0) {
        result.error =
            QStringLiteral("レコード数が %1 です。1 以上でなければなりません。").arg(count);
        return result;
    }
    if (count > MaxReadRecords) {
        result.error = QStringLiteral("レコード数 %1 は表の行数（%2 行）を超えています。")
                           .arg(count)
                           .arg(MaxReadRecords);
        return result;
    }
    result.records.resize(count);
    for (int k = 1; k <= count; ++k) {
        FareRecord& record = result.records[k - 1];
        if (!in.canRead(2)) {
            result.error = truncatedAt(k, "名称の長さ", in.offset());
            break;
        }
        const quint16 length = in.uint16();
        if (!in.canRead(length)) {
            result.error = truncatedAt(k, "名称", in.offset());
            break;
        }
        record.Name = Cp932::decode(in.take(length));
        if (!in.canRead(layout.fixedRecordSize() - 2)) {
            result.error =
                truncatedAt(k, layout.hasTicketNo ? "整理券番号・運賃" : "運賃", in.offset());
            break;
        }
        if (layout.hasTicketNo)
            record.TicketNo = in.int16();
        if (layout.hasReserved)
            in.int16(); // written as 0, ignored on reading
        for (int fare = 0; fare < layout.fareCount; ++fare)
            record.Fares[fare] = in.int16();
    }
    if (!result.ok())
        result.records.clear();
    return result;
}

Encoded encode(const BinaryLayout& layout, const QVector<FareRecord>& records)
{
    Encoded result;
    QByteArray& out = result.bytes;
    out.reserve(2 + records.size() * (layout.fixedRecordSize() + 32));
    putInt16(out, qint16(records.size()));
    for (qsizetype i = 0; i < records.size(); ++i) {
        const FareRecord& record = records[i];
        const int row = int(i) + 1;
        const Cp932::Encoded name = Cp932::encode(record.Name);
        if (!name.ok) {
            result.error = QStringLiteral("%1の名称「%2」に、Shift-JIS（コードページ "
                                          "932）で保存できない文字「%3」（%4）があります。")
                               .arg(describeRow(row), briefQuote(record.Name), name.badCharacter,
                                    Cp932::codePointName(name.badCharacter));
            break;
        }
        if (name.bytes.size() > FareRecord::MaxNameBytes) {
            result.error = QStringLiteral("%1の名称が長すぎます（%2 バイト。%3 バイトまで）。")
                               .arg(describeRow(row))
                               .arg(name.bytes.size())
                               .arg(FareRecord::MaxNameBytes);
            break;
        }
        char length[2];
        qToLittleEndian<quint16>(quint16(name.bytes.size()), length);
        out.append(length, 2);
        out.append(name.bytes);
        // The numbers go out in one piece: appending them two bytes at a time costs more than
        // everything else a save does.
        char numbers[2 * (2 + FareRecord::FareCount)];
        char* at = numbers;
        const auto put = [&at](qint16 value) {
            qToLittleEndian<qint16>(value, at);
            at += 2;
        };
        if (layout.hasTicketNo)
            put(record.TicketNo);
        if (layout.hasReserved)
            put(0);
        for (int fare = 0; fare < layout.fareCount; ++fare)
            put(record.Fares[fare]);
        out.append(numbers, at - numbers);
    }
    if (!result.ok())
        out.clear();
    return result;
}

} // namespace BinaryCodec
