// The clock-record checks over a table large enough that many rows share bits of their hash: a repeated user ID,
// date and kind is found wherever its two rows lie, whether they come as stored bytes, as facts taken at load or as
// typed text, and texts the file stores alike count as one.
#include <QTest>

#include <algorithm>
#include <random>

#include "maintenance/editorchecks.h"
#include "store/cp932.h"
#include "store/tablestore.h"

using namespace tsumiki;

namespace {

const QString kRepeated = QStringLiteral("同日付に複数の出勤か退出が存在します。修正してください。");

struct ClockRow {
    QString id;
    QString date;
    bool clockIn;
    bool asLoaded;
};

// The grid as the clock editor's save reads it: rows as loaded give their stored bytes, typed rows their texts;
// with factsAtLoad, rows as loaded give the facts the editor took of them at load instead.
class Rows final : public EditorRows {
public:
    explicit Rows(QList<ClockRow> rows, bool factsAtLoad = false) : rows_(std::move(rows)) {
        for (const ClockRow& row : rows_) {
            stored_.append({cp932::encode(row.id).bytes, cp932::encode(row.date).bytes});
        }
        if (factsAtLoad) {
            QList<ClockRow> loaded = rows_;
            for (ClockRow& row : loaded) {
                row.asLoaded = true;
            }
            facts_ = clockRowFacts(Rows(loaded));
        }
    }
    const LoadedRowFacts* loadedFacts(int row) const override {
        return rows_[row - 1].asLoaded && !facts_.empty() ? &facts_[std::size_t(row) - 1] : nullptr;
    }
    int rowCount() const override { return int(rows_.size()); }
    QString cell(int row, int col) const override {
        const ClockRow& r = rows_[row - 1];
        const QString kind = r.clockIn ? QStringLiteral("出勤") : QStringLiteral("退出");
        return QStringList{QString(), r.id, QString(), r.date, r.date + QStringLiteral(" 09:00"), kind}.value(col);
    }
    bool showsStoredBytes(int col) const override { return col == 1 || col == 3; }
    bool storedRow(int row, QByteArrayView* stored) const override {
        const ClockRow& r = rows_[row - 1];
        if (!r.asLoaded) {
            return false;
        }
        stored[1] = stored_[row - 1].first;
        stored[3] = stored_[row - 1].second;
        stored[4] = "2026/01/01 09:00";
        stored[5] = r.clockIn ? "1" : "2";
        stored[6] = "0";
        return true;
    }

private:
    QList<ClockRow> rows_;
    QList<std::pair<QByteArray, QByteArray>> stored_;
    std::vector<LoadedRowFacts> facts_;
};

}  // namespace

class TestClockChecks : public QObject {
    Q_OBJECT

private slots:
    void repeatsFoundWhereverTheyLie_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("id");
        QTest::newRow("no repeat") << -1 << -1 << false << QString();
        QTest::newRow("first and last, both as loaded") << 0 << 19999 << false << QString();
        QTest::newRow("far apart, the later one typed") << 17 << 15003 << true << QString();
        QTest::newRow("typed ids the file stores alike") << 4 << 9000 << true << QStringLiteral("A\u301C");
    }

    void repeatsFoundWhereverTheyLie() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, typed);
        QFETCH(QString, id);
        // Twenty thousand distinct user, date and kind triples, in no order, half of them as loaded.
        std::mt19937 random(20261207);
        QList<int> keys(40000);
        std::iota(keys.begin(), keys.end(), 0);
        std::shuffle(keys.begin(), keys.end(), random);
        QList<ClockRow> rows;
        for (int i = 0; i < 20000; ++i) {
            const int key = keys[i];
            rows.append({QStringLiteral("%1").arg(key % 50 + 1, 4, 10, QLatin1Char('0')),
                         QDate(2025, 1, 1).addDays(key / 100).toString(QStringLiteral("yyyy/MM/dd")), key / 50 % 2 == 0,
                         random() % 2 == 0});
        }
        if (!id.isEmpty()) {
            rows[from].id = id;
            rows[from].asLoaded = true;
        }
        if (from >= 0) {
            rows[to] = rows[from];
            rows[to].asLoaded = !typed;
            if (!id.isEmpty()) {
                rows[to].id = QStringLiteral("A\uFF5E");
            }
        }
        const TableStore store(QDir::tempPath());
        for (const bool factsAtLoad : {false, true}) {
            QCOMPARE(checkClockRows(Rows(rows, factsAtLoad), store), from < 0 ? std::optional<QString>() : kRepeated);
        }
    }
};

QTEST_GUILESS_MAIN(TestClockChecks)
#include "tst_clockchecks.moc"
