#include "ui/nav_bar.h"

#include "style/style.h"

#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QString pageButtonStyle(const QString &icon)
{
    return QStringLiteral("QPushButton{border:none;background-color:transparent;image:url(:/img/%1.png);}"
                          "QPushButton:checked{image:url(:/img/%1_selected.png);}"
                          "QPushButton:hover{background-color:rgba(255,255,255,0.03);}")
        .arg(icon);
}

QPushButton *makePageButton(QWidget *parent, const QString &name, const QString &icon, int x)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setGeometry(x, 30, 60, 38);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(pageButtonStyle(icon) + Style::pictureButtonFocus);
    return button;
}

} // namespace

Nav_Bar::Nav_Bar(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(1200, 124);

    auto *background = new QLabel(this);
    background->setGeometry(0, 30, 1200, 38);
    Style::showPicture(background, QStringLiteral(":/img/nav_bar"));

    tipLabel = new QLabel(this);
    tipLabel->setObjectName(QStringLiteral("tipLabel"));
    tipLabel->setFixedSize(84, 24);
    tipLabel->setStyleSheet(
        QStringLiteral("image: url(:/img/btn_tip_bg.png);font:12px;color:rgba(255,255,255,0.4)"));
    tipLabel->setAlignment(Qt::AlignCenter);
    tipLabel->hide();

    buttonsButton = makePageButton(this, QStringLiteral("buttonsButton"), QStringLiteral("buttons"), 510);
    ledsButton = makePageButton(this, QStringLiteral("ledsButton"), QStringLiteral("leds"), 570);
    pointerButton = makePageButton(this, QStringLiteral("pointerButton"), QStringLiteral("pointer"), 630);
    buttonsButton->setChecked(true);

    for (QPushButton *pageButton : { buttonsButton, ledsButton, pointerButton })
        pageButton->installEventFilter(this);

    buttonGroup = new QButtonGroup(this);
    buttonGroup->setExclusive(true);
    buttonGroup->addButton(buttonsButton, 1);
    buttonGroup->addButton(ledsButton, 2);
    buttonGroup->addButton(pointerButton, 3);
    connect(buttonGroup, &QButtonGroup::idToggled, this, &Nav_Bar::nav_btn_toggled);
    retranslateUi();
}

Nav_Bar::~Nav_Bar() = default;

void Nav_Bar::retranslateUi()
{
    const QString tips[] = { tr("按键设置"), tr("灯光设置"), tr("指针设置") };
    if (tipIndex >= 0)
        tipLabel->setText(tips[tipIndex]);
    // The buttons show only pictures: their tips name them.
    QPushButton *const pageButtons[] = { buttonsButton, ledsButton, pointerButton };
    for (int i = 0; i < 3; ++i)
        pageButtons[i]->setAccessibleName(tips[i]);
    setAccessibleName(tr("页面"));
}

void Nav_Bar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

QAbstractButton *Nav_Bar::button(int id) const
{
    return buttonGroup->button(id);
}

int Nav_Bar::checkedId() const
{
    return buttonGroup->checkedId();
}

void Nav_Bar::checkButton(int id)
{
    if (QAbstractButton *pageButton = buttonGroup->button(id))
        pageButton->setChecked(true);
}

void Nav_Bar::nav_btn_toggled(int ID, bool checked)
{
    if (checked)
        emit nav_btn_selected(ID);
}

bool Nav_Bar::eventFilter(QObject *obj, QEvent *event)
{
    const QObject *pageButtons[] = { buttonsButton, ledsButton, pointerButton };
    for (int i = 0; i < 3; ++i) {
        if (obj != pageButtons[i])
            continue;
        if (event->type() == QEvent::Enter) {
            // Centred above the 60 px button: the 84 px tip starts 12 px further left.
            tipLabel->move(498 + 60 * i, 0);
            tipIndex = i;
            retranslateUi();
            tipLabel->show();
        } else if (event->type() == QEvent::Leave) {
            tipLabel->hide();
        }
        break;
    }
    return QWidget::eventFilter(obj, event);
}
