#include <QTest>

#include "store/paths.h"
#include "store/table.h"
#include "store/tablestore.h"
#include "testsupport.h"

using namespace tsumiki;

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void nullToText();
    void sampleTablesAreAsTheStoreWritesThem_data();
    void sampleTablesAreAsTheStoreWritesThem();
};

void TestPaths::split_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    const char* rows[][4] = {{"slashes", "/shop/app/DB/ユーザー.csv", "/shop/app/DB", "ユーザー.csv"},
                             {"backslashes split at the last only", "C:\\shop\\DB\\u.csv", "C:\\shop\\DB", "u.csv"},
                             {"no separator", "ユーザー.csv", "", "ユーザー.csv"},
                             {"empty", "", "", ""}};
    for (const auto& r : rows) {
        QTest::newRow(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]) << QString::fromUtf8(r[3]);
    }
}

void TestPaths::split() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QCOMPARE(GetDirectoryPart(path), folder);
    QCOMPARE(GetFileNamePart(path), file);
}

void TestPaths::nullToText() {
    QCOMPARE(NullToText(std::nullopt, QStringLiteral("-")), QStringLiteral("-"));
    QCOMPARE(NullToText(QStringLiteral("a"), QStringLiteral("-")), QStringLiteral("a"));
}

void TestPaths::sampleTablesAreAsTheStoreWritesThem_data() {
    QTest::addColumn<int>("table");
    for (Table t : {Table::Control, Table::User, Table::Message, Table::Clock}) {
        QTest::newRow(schemaOf(t).fileName.toUtf8()) << int(t);
    }
}

// The shipped sample folder, read and written back by the store into a folder without the file, is byte for byte
// the same: the written form of every table.
void TestPaths::sampleTablesAreAsTheStoreWritesThem() {
    QFETCH(int, table);
    const Table t = Table(table);
    const TableStore sample(QStringLiteral(TSUMIKI_SOURCE_DIR "/data"));
    const TablePtr parsed = sample.read(t);
    QList<QList<Value>> rows;
    for (int r = 0; r < parsed->rowCount(); ++r) {
        QList<Value> row;
        for (int c = 0; c < parsed->header().size(); ++c) {
            row << parsed->value(r, c);
        }
        rows << row;
    }
    QVERIFY(!rows.isEmpty());
    test::TempAppFolder copy;
    TableStore(copy.path()).rewrite(t, rows);
    QFile original(sample.pathOf(t));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(copy.bytes(t), original.readAll());
}

QTEST_APPLESS_MAIN(TestPaths)
#include "tst_paths.moc"
