// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/MainWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStringListModel>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <functional>
#include <stdexcept>

#include "langue/qt/LangueQt.h"
#include "window/app/frmTKR52princ.h"
#include "window/liste/texts.h"
#include "platform/qt/DirectionButton.h"
#include "platform/qt/NightVision.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/SiteDialog.h"
#include "platform/qt/WindowKeys.h"
#include "settings/Settings.h"
#include "settings/texts.h"
#include "window/motion/texts.h"

namespace platform::qt {

namespace {

constexpr int ConsultIntervalMs = 3000;
// Frame and inner margins of a line edit, in pixels.
constexpr int ObjectFieldMargins = 16;

bool hasFamily(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// A caption, tooltip or text of the window, in the program's language.
QString text(const char* source)
{
    return langue::qt::tr(langue::Texte { "window", source });
}

// A text declared with its own context, in a subsystem's texts.h.
QString text(const langue::Texte& texte)
{
    return langue::qt::tr(texte);
}

QFont makeFont(const QString& family, double points, bool bold)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The Greek labels: "a :" and "d :" in the Symbol font read α and δ; without it, write them so.
QLabel* greekLabel(const char* latin, const char* greek, double points, QWidget* parent)
{
    const bool symbol = hasFamily(QStringLiteral("Symbol"));
    auto* label = new QLabel(QString::fromUtf8(symbol ? latin : greek), parent);
    label->setFont(makeFont(symbol ? QStringLiteral("Symbol") : QString(), points, true));
    return label;
}

// Enter in the list of objects chooses the row shown as current (the first match unless the user
// moved): the same choice, once, whether the list is open or not.
class ObjectListKeys : public QObject {
public:
    ObjectListKeys(QCompleter* completer, std::function<void(const QString&)> choose)
        : QObject(completer), completer(completer), choose(std::move(choose))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return QObject::eventFilter(watched, event);
        const QModelIndex current = completer->popup()->currentIndex();
        const QString text = current.isValid() ? current.data().toString() : QString();
        completer->popup()->hide();
        choose(text);
        return true;
    }

private:
    QCompleter* completer;
    std::function<void(const QString&)> choose;
};

QFont arialFont(double points, bool bold)
{
    QFont f = makeFont(QStringLiteral("Arial"), points, bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

} // namespace

MainWindow::MainWindow(SerialPort& serial) : port(serial)
{
    setObjectName(QStringLiteral("frmTKR52princ"));
    setWindowTitle(QString::fromUtf8(frmTKR52princ::Titre));
    build();
    NightVision::listenForShortcut();
}

MainWindow::~MainWindow() = default;

void MainWindow::build()
{
    auto* column = new QVBoxLayout(this);

    auto name = [](QWidget* w, const char* n) {
        w->setObjectName(QString::fromUtf8(n));
        return w;
    };
    auto addLabel = [&](QLabel* l, const char* n) {
        name(l, n);
        labels.emplace(n, std::make_unique<QtLabel>(l));
        return l;
    };

    // Title.
    auto* title = addLabel(new QLabel(QStringLiteral("SELVANE"), this), "Label1");
    QFont titleFont = makeFont(QStringLiteral("Staccato222 BT"), 18, true);
    if (!hasFamily(QStringLiteral("Staccato222 BT"))) {
        titleFont = makeFont(QStringLiteral("DejaVu Serif"), 18, true);
        titleFont.setStyleHint(QFont::Decorative);
    }
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);

    // The mount's position.
    auto displayRow = [&](const char* greekName, const char* latin, const char* greek, const char* valueName,
                          const char* first) {
        auto* row = new QHBoxLayout;
        row->addWidget(addLabel(greekLabel(latin, greek, 14.25, this), greekName));
        auto* value = addLabel(new QLabel(QString::fromUtf8(first), this), valueName);
        value->setFont(arialFont(18, true));
        row->addWidget(value, 1);
        column->addLayout(row);
    };
    displayRow("Label4", "a :", "α :", "affalpha", "00h 00m 00s");
    displayRow("Label6", "d :", "δ :", "affdelta", "+00° 00' 00\"");

    // Direction pad and speeds.
    auto* block = new QHBoxLayout;
    auto* pad = new QGridLayout;
    // A control's tooltip gets the key that does the same, after what it already says.
    auto addKey = [](QWidget* w, const QString& key) {
        const QString tip = w->toolTip();
        w->setToolTip(tip.isEmpty() ? key : tip + QStringLiteral(" (") + key + QLatin1Char(')'));
    };
    auto direction = [&](const char* n, const char* caption, int row, int col, const langue::Texte& key) {
        auto* b = new DirectionButton(text(caption), this);
        name(b, n);
        addKey(b, langue::qt::tr(key));
        b->setFont(makeFont(QStringLiteral("Arial Black"), 15.75, false));
        b->setFixedSize(44, 40);
        pad->addWidget(b, row, col);
        buttons.emplace(n, std::make_unique<QtCommandButton>(b));
    };
    direction("btnNord", QT_TRANSLATE_NOOP("window", "&N"), 0, 1, motion_texts::ToucheNord);
    direction("btnEst", QT_TRANSLATE_NOOP("window", "&E"), 1, 0, motion_texts::ToucheEst);
    direction("btnOuest", QT_TRANSLATE_NOOP("window", "&O"), 1, 2, motion_texts::ToucheOuest);
    direction("btnSud", QT_TRANSLATE_NOOP("window", "&S"), 2, 1, motion_texts::ToucheSud);
    block->addLayout(pad);

    auto* speeds = new QVBoxLayout;
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    auto option = [&](const char* n, const char* caption) {
        auto* b = new QRadioButton(text(caption), this);
        name(b, n);
        group->addButton(b);
        speeds->addWidget(b);
        addKey(b, QString::fromUtf8(motion_texts::ToucheVitesse).arg(group->buttons().size()));
        options.emplace(n, std::make_unique<QtOptionButton>(b));
        return b;
    };
    option("OptVitesselente", QT_TRANSLATE_NOOP("window", "Sidéral"))->setChecked(true);
    option("OptVitesseapproche", QT_TRANSLATE_NOOP("window", "Rattrapage"));
    option("OptVitessecentrage", QT_TRANSLATE_NOOP("window", "Centrage"));
    option("OptVitessepointage", QT_TRANSLATE_NOOP("window", "Rapide"));
    auto* autoguide = new QCheckBox(text(QT_TRANSLATE_NOOP("window", "Autoguidage")), this);
    name(autoguide, "Optvitesseauto");
    autoguide->setToolTip(text(QT_TRANSLATE_NOOP("window", "Bascule l'autoguidage sur la raquette")));
    speeds->addWidget(autoguide);
    checkBoxes.emplace("Optvitesseauto", std::make_unique<QtCheckBox>(autoguide));
    block->addLayout(speeds);
    column->addLayout(block);

    auto commandButton = [&](const char* n, const auto& caption) {
        auto* b = new QPushButton(text(caption), this);
        name(b, n);
        b->setAutoDefault(false);
        buttons.emplace(n, std::make_unique<QtCommandButton>(b));
        return b;
    };

    auto* clipboardRow = new QHBoxLayout;
    clipboardRow->addWidget(
        commandButton("Btn_récup_clipboard", QT_TRANSLATE_NOOP("window", "Récupère coord presse papier ")));
    clipboardRow->addWidget(commandButton("BtnGOTO", QT_TRANSLATE_NOOP("window", "&GOTO référence")));
    column->addLayout(clipboardRow);

    // A target by name from the catalogue, its matches listed as the user types. The table is
    // read and indexed meanwhile, on a thread of its own.
    catalogue::préparer();
    auto* objectRow = new QHBoxLayout;
    objectRow->addWidget(
        addLabel(new QLabel(text(QT_TRANSLATE_NOOP("window", "Objet :")), this), "LabelObjet"));
    objectField = new QLineEdit(this);
    name(objectField, "EdtObjet");
    objectField->setToolTip(text(QT_TRANSLATE_NOOP(
        "window", "Objet du catalogue : Messier, NGC, IC, étoile, planète, Lune ou Soleil")));
    objectField->setPlaceholderText(QString::fromUtf8("M 42, NGC 869, Vega, Jupiter…"));
    // Its hint stays whole beside the list's buttons.
    objectField->setMinimumWidth(objectField->fontMetrics().horizontalAdvance(objectField->placeholderText())
        + ObjectFieldMargins);
    objectRow->addWidget(objectField, 1);
    textBoxes.emplace("EdtObjet", std::make_unique<QtTextBox>(objectField));
    // The observing list: its steps shown once a list is loaded.
    auto* listButton = commandButton("btnListe", liste_texts::BoutonListe);
    listButton->setToolTip(langue::qt::tr(liste_texts::BulleListe));
    objectRow->addWidget(listButton);
    struct Step {
        const char* name;
        langue::Texte caption, tip;
    };
    for (const Step& s : { Step { "btnPrécédent", liste_texts::BoutonPrécédent, liste_texts::BullePrécédent },
             Step { "btnSuivant", liste_texts::BoutonSuivant, liste_texts::BulleSuivant } }) {
        auto* step = commandButton(s.name, s.caption);
        step->setToolTip(text(s.tip));
        step->setVisible(false);
        objectRow->addWidget(step);
    }
    objectList = new QStringListModel(this);
    objectCompleter = new QCompleter(objectList, this);
    objectCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    objectCompleter->setMaxVisibleItems(static_cast<int>(frmTKR52princ::PropositionsMax));
    objectCompleter->setWidget(objectField);
    column->addLayout(objectRow);

    // Reference entry rows.
    auto entryRow = [&](const char* greekName, const char* latin, const char* greek, const char* tip,
                        std::initializer_list<std::array<const char*, 5>> fields) {
        auto* row = new QHBoxLayout;
        auto* g = addLabel(greekLabel(latin, greek, 12, this), greekName);
        g->setToolTip(text(tip));
        row->addWidget(g);
        for (const auto& f : fields) {
            auto* edit = new QLineEdit(QString::fromUtf8(f[1]), this);
            name(edit, f[0]);
            edit->setFont(arialFont(9.75, true));
            edit->setToolTip(text(f[3]));
            const int limit = f[2][0] - '0';
            edit->setValidator(new TypingLimit(edit, limit));
            edit->setFixedWidth(limit * 12 + 14);
            row->addWidget(edit);
            textBoxes.emplace(f[0], std::make_unique<QtTextBox>(edit));
            auto* arrows = new SpinArrows(this);
            name(arrows, f[4]);
            row->addWidget(arrows);
        }
        row->addStretch(1);
        column->addLayout(row);
    };
    entryRow("Label2", "a :", "α :", QT_TRANSLATE_NOOP("window", "Ascension Droite"),
        { { "EdtADréfHrs", "00", "2", QT_TRANSLATE_NOOP("window", "Heures"), "UpDownADHrs" },
            { "EdtADréfMin", "00", "2", QT_TRANSLATE_NOOP("window", "Minutes"), "UpDownADMin" },
            { "EdtADréfSec", "00", "2", QT_TRANSLATE_NOOP("window", "Secondes"), "UpDownADSec" } });
    entryRow("Label3", "d :", "δ :", QT_TRANSLATE_NOOP("window", "Déclinaison"),
        { { "EdtDECréfDeg", "+000", "4", QT_TRANSLATE_NOOP("window", "Degrés"), "UpDownDECdeg" },
            { "EdtDECréfMin", "00", "2", QT_TRANSLATE_NOOP("window", "Minutes"), "UpDownDECmin" },
            { "EdtDECréfSec", "00", "2", QT_TRANSLATE_NOOP("window", "Secondes"), "UpDownDECsec" } });

    // Log box with the "?" button on its top right corner.
    auto* logArea = new QGridLayout;
    auto* log = new QPlainTextEdit(this);
    name(log, "edtsaisie");
    log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    log->setUndoRedoEnabled(false); // a night of lines must not pile up in an undo stack
    // The log holds plain Latin text: skip text shaping, most of the cost of each repaint.
    QFont logFont = log->font();
    logFont.setStyleStrategy(QFont::PreferNoShaping);
    log->setFont(logFont);
    log->setPlainText(text(QT_TRANSLATE_NOOP("window", "essai")) + QLatin1Char('\n'));
    log->setMinimumHeight(140);
    logArea->addWidget(log, 0, 0);
    textBoxes.emplace("edtsaisie", std::make_unique<QtLogBox>(log));
    auto* ask = commandButton("BTN_ask", "?");
    ask->setToolTip(text(QT_TRANSLATE_NOOP("window", "Demandes de position")));
    ask->setFixedSize(22, 22);
    logArea->addWidget(ask, 0, 0, Qt::AlignTop | Qt::AlignRight);
    column->addLayout(logArea, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(commandButton("btninitialisation", QT_TRANSLATE_NOOP("window", "&Init référence")));
    bottom->addWidget(commandButton("btnAligner", QT_TRANSLATE_NOOP("window", "&Aligner")));
    bottom->addWidget(commandButton("btnFermerappli", QT_TRANSLATE_NOOP("window", "&Fermer")));
    column->addLayout(bottom);

    consultTimer = new QTimer(this);
    consultTimer->setObjectName(QStringLiteral("Timerconsult"));
    consultTimer->setInterval(ConsultIntervalMs);
    timers.emplace("Timerconsult", std::make_unique<QtTimer>(consultTimer));
}

template <class T>
T& MainWindow::find(std::map<std::string, std::unique_ptr<T>, std::less<>>& controls, std::string_view n)
{
    const auto it = controls.find(n);
    if (it == controls.end())
        throw std::logic_error("no control named " + std::string(n));
    return *it->second;
}

Label& MainWindow::label(std::string_view n) { return find(labels, n); }
TextBox& MainWindow::textBox(std::string_view n) { return find(textBoxes, n); }
CommandButton& MainWindow::commandButton(std::string_view n) { return find(buttons, n); }
OptionButton& MainWindow::optionButton(std::string_view n) { return find(options, n); }
CheckBox& MainWindow::checkBox(std::string_view n) { return find(checkBoxes, n); }
Timer& MainWindow::timer(std::string_view n) { return find(timers, n); }
SerialPort& MainWindow::serialPort(std::string_view) { return port; }

void MainWindow::armTimers()
{
    for (auto& [n, t] : timers)
        t->arm();
}

void MainWindow::openSiteDialog()
{
    if (!form)
        return;
    SiteDialog dialog(form->lieu, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    form->lieu = dialog.chosen();
    settings::enregistrerLieu(form->lieu);
    textBox("edtsaisie").addLine(form->lieu
            ? langue::qt::tr(settings_texts::LigneLieuChoisi).arg(settings::texteLieu(*form->lieu)).toStdString()
            : std::string(settings_texts::LigneLieuOublié.texte()));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!form) {
        event->accept();
        return;
    }
    std::int16_t cancel = 0;
    form->Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void MainWindow::connectTo(frmTKR52princ& f)
{
    form = &f;
    // Each connection holds its own copy of the form's address: nothing refers back to this frame.
    frmTKR52princ* const target = &f;
    auto child = [this](const char* n) { return findChild<QWidget*>(QString::fromUtf8(n)); };
    auto click = [&](const char* n, auto handler) {
        connect(static_cast<QAbstractButton*>(child(n)), &QAbstractButton::clicked, this,
                [target, handler] { (target->*handler)(); });
    };
    click("BTN_ask", &frmTKR52princ::BTN_ask_Click);
    click("Btn_récup_clipboard", &frmTKR52princ::Btn_récup_clipboard_Click);
    click("BtnGOTO", &frmTKR52princ::BtnGOTO_Click);
    click("btninitialisation", &frmTKR52princ::btninitialisation_Click);
    click("btnAligner", &frmTKR52princ::btnAligner_Click);
    click("btnFermerappli", &frmTKR52princ::btnFermerappli_Click);
    click("Optvitesseauto", &frmTKR52princ::Optvitesseauto_Click);

    auto option = [&](const char* n, std::int16_t index, void (frmTKR52princ::*handler)(std::int16_t)) {
        connect(static_cast<QAbstractButton*>(child(n)), &QAbstractButton::clicked, this,
                [target, handler, index] { (target->*handler)(index); });
    };
    option("OptVitesselente", 0, &frmTKR52princ::OptVitesselente_Click);
    option("OptVitessecentrage", 1, &frmTKR52princ::OptVitessecentrage_Click);
    option("OptVitesseapproche", 2, &frmTKR52princ::OptVitesseapproche_Click);
    option("OptVitessepointage", 3, &frmTKR52princ::OptVitessepointage_Click);

    using Mouse = void (frmTKR52princ::*)(std::int16_t, std::int16_t, float, float);
    auto direction = [&](const char* n, Mouse down, Mouse up) {
        auto* b = static_cast<DirectionButton*>(child(n));
        connect(b, &DirectionButton::movePressed, this, [target, down] { (target->*down)(1, 0, 0, 0); });
        connect(b, &DirectionButton::moveReleased, this, [target, up] { (target->*up)(1, 0, 0, 0); });
    };
    direction("btnNord", &frmTKR52princ::btnNord_MouseDown, &frmTKR52princ::btnNord_MouseUp);
    direction("btnSud", &frmTKR52princ::btnSud_MouseDown, &frmTKR52princ::btnSud_MouseUp);
    direction("btnEst", &frmTKR52princ::btnEst_MouseDown, &frmTKR52princ::btnEst_MouseUp);
    direction("btnOuest", &frmTKR52princ::btnOuest_MouseDown, &frmTKR52princ::btnOuest_MouseUp);

    auto spin = [&](const char* n, void (frmTKR52princ::*up)(), void (frmTKR52princ::*down)()) {
        auto* arrows = static_cast<SpinArrows*>(child(n));
        connect(arrows, &SpinArrows::upClicked, this, [target, up] { (target->*up)(); });
        connect(arrows, &SpinArrows::downClicked, this, [target, down] { (target->*down)(); });
    };
    spin("UpDownADHrs", &frmTKR52princ::UpDownADHrs_UpClick, &frmTKR52princ::UpDownADHrs_DownClick);
    spin("UpDownADMin", &frmTKR52princ::UpDownADMin_UpClick, &frmTKR52princ::UpDownADMin_DownClick);
    spin("UpDownADSec", &frmTKR52princ::UpDownADSec_UpClick, &frmTKR52princ::UpDownADSec_DownClick);
    spin("UpDownDECdeg", &frmTKR52princ::UpDownDECdeg_UpClick, &frmTKR52princ::UpDownDECdeg_DownClick);
    spin("UpDownDECmin", &frmTKR52princ::UpDownDECmin_UpClick, &frmTKR52princ::UpDownDECmin_DownClick);
    spin("UpDownDECsec", &frmTKR52princ::UpDownDECsec_UpClick, &frmTKR52princ::UpDownDECsec_DownClick);

    connect(consultTimer, &QTimer::timeout, this, [target] { target->Timerconsult_Timer(); });

    // The keyboard: Ctrl+arrows hold the direction buttons, Ctrl+1…4 the speeds in their order.
    WindowKeys::Buttons keys { findChild<DirectionButton*>(QStringLiteral("btnNord")),
        findChild<DirectionButton*>(QStringLiteral("btnSud")),
        findChild<DirectionButton*>(QStringLiteral("btnEst")),
        findChild<DirectionButton*>(QStringLiteral("btnOuest")), {} };
    const char* speedNames[] = { "OptVitesselente", "OptVitesseapproche", "OptVitessecentrage", "OptVitessepointage" };
    for (std::size_t i = 0; i < keys.speeds.size(); ++i)
        keys.speeds[i] = static_cast<QAbstractButton*>(child(speedNames[i]));
    new WindowKeys(
        this, keys, [this] { openSiteDialog(); },
        [target](bool next) {
            if (next)
                target->btnSuivant_Click();
            else
                target->btnPrécédent_Click();
        });

    click("btnSuivant", &frmTKR52princ::btnSuivant_Click);
    click("btnPrécédent", &frmTKR52princ::btnPrécédent_Click);
    auto* listButton = static_cast<QAbstractButton*>(child("btnListe"));
    connect(listButton, &QAbstractButton::clicked, this, [this, target] {
        const QString file = QFileDialog::getOpenFileName(this, langue::qt::tr(liste_texts::TitreFichier),
            QString(), langue::qt::tr(liste_texts::FiltreFichier));
        if (!file.isEmpty())
            target->chargerListe(QFileInfo(file).absoluteFilePath().toStdString());
    });

    // "Objet :": the list follows each keystroke; Enter or a click on a row chooses.
    QLineEdit* const field = objectField;
    QCompleter* const completer = objectCompleter;
    QStringListModel* const list = objectList;
    connect(field, &QLineEdit::textEdited, this, [field, completer, list](const QString& text) {
        QStringList labels;
        for (const std::string& label : frmTKR52princ::propositionsObjet(text.toStdString()))
            labels.append(QString::fromStdString(label));
        list->setStringList(labels);
        if (labels.isEmpty()) {
            completer->popup()->hide();
            return;
        }
        completer->complete();
        completer->popup()->setCurrentIndex(list->index(0, 0));
    });
    auto choose = [field, completer, target](const QString& label) {
        completer->popup()->hide();
        if (!label.isEmpty())
            field->setText(label);
        target->EdtObjet_Valider();
    };
    completer->popup()->installEventFilter(new ObjectListKeys(completer, choose));
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this, choose);
    connect(field, &QLineEdit::returnPressed, this, [choose] { choose(QString()); });
}

} // namespace platform::qt
