#include "workbook/xlsencryption.h"

#include <QFile>
#include <QtEndian>

#include <optional>

namespace tsumiki {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint16 kBof = 0x0809;
constexpr quint16 kFilePass = 0x002F;
constexpr quint16 kWriteAccess = 0x005C;

// Just enough of the compound file format to find the start of one stream.
class CompoundFile {
public:
    explicit CompoundFile(QByteArray bytes) : bytes_(std::move(bytes)) {}

    // The first sector of the named stream in the root storage.
    std::optional<QByteArray> streamStart(const QString& name) {
        if (bytes_.size() < 512 || !bytes_.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
            return std::nullopt;
        }
        const quint16 shift = u16(0x1E);
        if (shift < 9 || shift > 12) {
            return std::nullopt;
        }
        sectorSize_ = 1u << shift;
        if (!readFat()) {
            return std::nullopt;
        }
        const quint32 cutoff = u32(0x38);
        for (quint32 s = u32(0x30), guard = 0; s < kEndOfChain && guard < 10000; s = next(s), ++guard) {
            const QByteArray dir = sector(s);
            for (quint32 off = 0; off + 128 <= dir.size(); off += 128) {
                const quint16 nameBytes = qFromLittleEndian<quint16>(dir.constData() + off + 64);
                if (nameBytes < 2 || nameBytes > 64 || dir[off + 66] != 2) {
                    continue;
                }
                const QString entry =
                    QString::fromUtf16(reinterpret_cast<const char16_t*>(dir.constData() + off), nameBytes / 2 - 1);
                if (entry == name) {
                    const quint32 start = qFromLittleEndian<quint32>(dir.constData() + off + 116);
                    const quint32 size = qFromLittleEndian<quint32>(dir.constData() + off + 120);
                    // A workbook that small would live in the mini stream; no real one does.
                    if (size < cutoff) {
                        return std::nullopt;
                    }
                    return sector(start);
                }
            }
        }
        return std::nullopt;
    }

private:
    quint16 u16(qsizetype at) const { return qFromLittleEndian<quint16>(bytes_.constData() + at); }
    quint32 u32(qsizetype at) const { return qFromLittleEndian<quint32>(bytes_.constData() + at); }

    QByteArray sector(quint32 n) const {
        const qint64 at = (qint64(n) + 1) * sectorSize_;
        return at + sectorSize_ <= bytes_.size() ? bytes_.mid(at, sectorSize_) : QByteArray();
    }
    quint32 next(quint32 s) const { return s < fat_.size() ? fat_[s] : kEndOfChain; }

    bool readFat() {
        QList<quint32> fatSectors;
        for (int i = 0; i < 109; ++i) {
            fatSectors.append(u32(0x4C + 4 * i));
        }
        for (quint32 d = u32(0x44), guard = 0; d < kEndOfChain && guard < 1000; ++guard) {
            const QByteArray s = sector(d);
            if (s.isEmpty()) {
                return false;
            }
            for (quint32 off = 0; off + 4 < s.size(); off += 4) {
                fatSectors.append(qFromLittleEndian<quint32>(s.constData() + off));
            }
            d = qFromLittleEndian<quint32>(s.constData() + s.size() - 4);
        }
        for (quint32 f : fatSectors) {
            if (f >= kEndOfChain - 1) {
                continue;
            }
            const QByteArray s = sector(f);
            for (quint32 off = 0; off + 4 <= s.size(); off += 4) {
                fat_.append(qFromLittleEndian<quint32>(s.constData() + off));
            }
        }
        return !fat_.isEmpty();
    }

    QByteArray bytes_;
    quint32 sectorSize_ = 512;
    QList<quint32> fat_;
};

}  // namespace

XlsEncryption XlsEncryptionOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return XlsEncryption::NotAWorkbook;
    }
    const std::optional<QByteArray> start = CompoundFile(f.readAll()).streamStart(QStringLiteral("Workbook"));
    if (!start || start->size() < 8) {
        return XlsEncryption::NotAWorkbook;
    }
    const char* p = start->constData();
    const auto type = [&](qsizetype at) { return qFromLittleEndian<quint16>(p + at); };
    if (type(0) != kBof) {
        return XlsEncryption::NotAWorkbook;
    }
    qsizetype at = 4 + type(2);
    if (at + 4 > start->size() || type(at) != kFilePass) {
        return XlsEncryption::Plain;
    }
    // Record headers and a few records near the start stay readable in an encrypted stream; the contents of the
    // rest do not. The write-access record is mostly spaces in the clear.
    for (at += 4 + type(at + 2); at + 4 <= start->size(); at += 4 + type(at + 2)) {
        if (type(at) != kWriteAccess) {
            continue;
        }
        const QByteArray data = start->mid(at + 4, type(at + 2));
        if (data.count(' ') * 2 > data.size()) {
            return XlsEncryption::Plain;
        }
        break;
    }
    return XlsEncryption::Encrypted;
}

}  // namespace tsumiki
