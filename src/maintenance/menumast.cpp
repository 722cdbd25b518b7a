#include "maintenance/menumast.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "maintenance/tableeditor.h"
#include "ui/grid/grid.h"
#include "ui/widgets.h"

namespace tsumiki {

MenuMast::MenuMast(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("Menu_Mast"));
    setWindowTitle(QStringLiteral("メンテナンス - メニュー画面"));

    struct Entry {
        const char* name;
        const char16_t* caption;
        const EditorTable& table;
    };
    auto group = [&](const char* name, const QString& title, std::initializer_list<Entry> entries) {
        auto* frame = new QGroupBox(title, this);
        frame->setObjectName(QString::fromLatin1(name));
        auto* column = new QVBoxLayout(frame);
        for (const Entry& entry : entries) {
            QPushButton* button = makeButton(frame, entry.name, QString::fromUtf16(entry.caption));
            button->setMinimumSize(twipsToPixels(3255), twipsToPixels(735));
            const EditorTable* table = &entry.table;
            connect(button, &QPushButton::clicked, this, [this, table] { openEditor(*table); });
            column->addWidget(button);
        }
        column->addStretch();
        return frame;
    };
    auto* frames = new QHBoxLayout;
    frames->addWidget(group("Frame1", QStringLiteral("マスタメンテナンス"),
                            {{"cmdin", u"ユーザーマスタ", userEditorTable()},
                             {"Command1", u"コントロールマスタ", controlEditorTable()},
                             {"Command4", u"メッセージマスタ", messageEditorTable()}}));
    frames->addWidget(
        group("Frame2", QStringLiteral("定期的メンテナンス"), {{"Command2", u"個人出退勤時間", clockEditorTable()}}));

    auto* back = makeButton(this, "cmdEnd", QStringLiteral("戻る"));
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames, 1);
    layout->addLayout(buttons);
}

int MenuMast::twipsToPixels(int twips) const {
    return tsumiki::twipsToPixels(twips, logicalDpiX());
}

void MenuMast::keyPressEvent(QKeyEvent* event) {
    if (!screenparts::handleKey(*this, *event)) {
        QDialog::keyPressEvent(event);
    }
}

void MenuMast::openEditor(const EditorTable& table) {
    TableEditor editor(context_, table, this);
    context_.navigator.showModal(editor);
}

}  // namespace tsumiki
