#include "Document/LayoutDialog.h"

#include "Data/ChangeLayoutEdit.h"
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LayoutPreview.h"
#include "Document/LedPanelDocument.h"
#include "MainWindow/MainSettings.h"
#include "MainWindow/SpinBoxReturnFilter.h"
#include "ui_LayoutDialog.h"

#include <QMessageBox>
#include <QPushButton>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

const char defaultLayoutKey[] = "Layout/Default";

struct Preset
{
    const char* name;
    LedLayout::eType type;
    int rows;
    int columns;
    LedLayout::eOrder order;
    bool serpentine;
};

// Matrices sold ready-made are mostly wired back and forth; the long 32 x 8 strips run along their columns.
const Preset presets[] = {
    { QT_TRANSLATE_NOOP("LayoutDialog", "Grid 8 x 8"), LedLayout::Rectangle, 8, 8, LedLayout::Rows, false },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Grid 16 x 16"), LedLayout::Rectangle, 16, 16, LedLayout::Rows, false },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Grid 32 x 8"), LedLayout::Rectangle, 8, 32, LedLayout::Rows, false },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Matrix 8 x 8, serpentine rows"), LedLayout::Rectangle, 8, 8,
      LedLayout::Rows, true },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Matrix 16 x 16, serpentine rows"), LedLayout::Rectangle, 16, 16,
      LedLayout::Rows, true },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Matrix 32 x 8, serpentine columns"), LedLayout::Rectangle, 8, 32,
      LedLayout::Columns, true },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Ring of 12"), LedLayout::Ring, 1, 12, LedLayout::Rows, false },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Ring of 16"), LedLayout::Ring, 1, 16, LedLayout::Rows, false },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Ring of 24"), LedLayout::Ring, 1, 24, LedLayout::Rows, false },
    { QT_TRANSLATE_NOOP("LayoutDialog", "Ring 4 x 48 (default)"), LedLayout::Ring, 4, 48, LedLayout::Rows, false },
};
const int presetCount = int(sizeof(presets) / sizeof(presets[0]));

LedLayout presetLayout(int index)
{
    const Preset& preset = presets[index];
    LedLayout layout = LedLayout::create(preset.type, preset.rows, preset.columns);
    layout.setNumbering(preset.order, preset.serpentine);
    return layout;
}

// Whether keeping the pictures and keeping the numbers part ways for some frame of the show:
// only a new numbering of the same panel moves values, and only lit ones show it.
bool choiceMatters(const LedPanelModel& show, const LedLayout& to)
{
    const LedLayout& from = show.panelLayout();
    if (from.type() != to.type() || from.rows() != to.rows() || from.columns() != to.columns())
        return false;
    for (int s = 0; s < show.sequenceCount(); ++s) {
        const CommandList* sequence = show.sequence(s);
        for (int f = 0; f < sequence->frameCount(); ++f) {
            const QVector<int> values = sequence->frame(f)->intensities();
            if (ChangeLayoutEdit::moved(values, from, to, nullptr, ChangeLayoutEdit::KeepPlaces)
                != ChangeLayoutEdit::moved(values, from, to, nullptr, ChangeLayoutEdit::KeepIndices))
                return true;
        }
    }
    return false;
}

} // namespace

LayoutDialog::LayoutDialog(LedPanelDocument* document, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::LayoutDialog)
    , m_pDocument(document)
    , m_pPreview(new LayoutPreview(this))
    , m_AngleEdited(false)
    , m_Showing(false)
    , m_RowSign(1)
    , m_ShownColumns(0)
{
    Q_ASSERT(m_pDocument);
    setModal(true);
    ui->setupUi(this);
    ui->verticalLayout_Preview->addWidget(m_pPreview);
    // A file may hold a longer line than a new layout may have: shown whole, it is kept whole.
    ui->spinBox_Rows->setMaximum(LedLayout::MaxLedCount);
    ui->spinBox_Columns->setMaximum(LedLayout::MaxLedCount);
    m_pPreview->setObjectName(QStringLiteral("layoutPreview"));

    ui->comboBox_LayoutType->addItem(tr("Grid"), int(LedLayout::Rectangle));
    ui->comboBox_LayoutType->addItem(tr("Ring"), int(LedLayout::Ring));
    for (const Preset& preset : presets)
        ui->comboBox_Preset->addItem(tr(preset.name));
    ui->comboBox_Preset->addItem(tr("Custom"));
    ui->comboBox_Order->addItem(QString(), int(LedLayout::Rows));
    ui->comboBox_Order->addItem(QString(), int(LedLayout::Columns));

    showLayout(m_pDocument->panelLayout());
    ui->checkBox_DefaultLayout->setChecked(!MainSettings::value(QLatin1String(defaultLayoutKey), QString()).toString().isEmpty());

    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &LayoutDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &LayoutDialog::reject);
    connect(ui->comboBox_Preset, QOverload<int>::of(&QComboBox::activated), this, &LayoutDialog::applyPreset);
    connect(ui->comboBox_LayoutType, QOverload<int>::of(&QComboBox::activated), this, &LayoutDialog::typeChanged);
    for (QSpinBox* box : { ui->spinBox_Rows, ui->spinBox_Columns })
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, &LayoutDialog::fieldEdited);
    const QList<QDoubleSpinBox*> reals = findChildren<QDoubleSpinBox*>();
    for (QDoubleSpinBox* box : reals)
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &LayoutDialog::fieldEdited);
    connect(ui->doubleSpinBox_ColumnSpacing, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this]() {
        if (!m_Showing)
            m_AngleEdited = true;
    });
    connect(ui->checkBox_ReverseNumbering, &QCheckBox::toggled, this, &LayoutDialog::fieldEdited);
    connect(ui->comboBox_Order, QOverload<int>::of(&QComboBox::activated), this, &LayoutDialog::fieldEdited);
    connect(ui->checkBox_Serpentine, &QCheckBox::toggled, this, &LayoutDialog::fieldEdited);
    connect(ui->groupBox_Advanced, &QGroupBox::toggled, this, &LayoutDialog::fieldEdited);
    connect(ui->checkBox_DefaultLayout, &QCheckBox::toggled, this, &LayoutDialog::refresh);
    SpinBoxReturnFilter::install(this);
    refresh();
}

LayoutDialog::~LayoutDialog()
{
    delete ui;
}

void LayoutDialog::showLayout(const LedLayout& layout)
{
    m_Showing = true;
    ui->comboBox_LayoutType->setCurrentIndex(layout.type() == LedLayout::Ring ? 1 : 0);
    ui->spinBox_Rows->setValue(layout.rows());
    ui->spinBox_Columns->setValue(layout.columns());
    showValue(ui->doubleSpinBox_RowSpacing, std::fabs(layout.rowSpacing()));
    showValue(ui->doubleSpinBox_ColumnSpacing, std::fabs(layout.columnSpacing()));
    m_ShownColumns = layout.columns();
    ui->checkBox_ReverseNumbering->setChecked(layout.columnSpacing() < 0);
    ui->comboBox_Order->setCurrentIndex(layout.order() == LedLayout::Columns ? 1 : 0);
    ui->checkBox_Serpentine->setChecked(layout.serpentine());
    // Only a wiring check or a file numbers from the bottom up; the field keeps the distance.
    m_RowSign = layout.rowSpacing() < 0 ? -1 : 1;
    showValue(ui->doubleSpinBox_FirstLedX, layout.firstLedPosition().x());
    showValue(ui->doubleSpinBox_FirstLedY, layout.firstLedPosition().y());
    showValue(ui->doubleSpinBox_BodyX, layout.rectangle().x());
    showValue(ui->doubleSpinBox_BodyY, layout.rectangle().y());
    showValue(ui->doubleSpinBox_BodyWidth, layout.rectangle().width());
    showValue(ui->doubleSpinBox_BodyHeight, layout.rectangle().height());
    showValue(ui->doubleSpinBox_InnerDiameter, layout.innerDiameter());
    showValue(ui->doubleSpinBox_OuterDiameter, layout.outerDiameter());
    // A body other than the fitted one was set by hand.
    LedLayout fitted = layout;
    fitted.fitBody();
    ui->groupBox_Advanced->setChecked(fitted != layout);
    int preset = presetCount;
    for (int i = 0; i < presetCount; ++i) {
        if (presetLayout(i) == layout)
            preset = i;
    }
    ui->comboBox_Preset->setCurrentIndex(preset);
    // A file keeps six significant digits of the angle that closes the circle.
    const double closing = 360.0 / qMax(1, layout.columns());
    m_AngleEdited = layout.type() == LedLayout::Ring
        && std::fabs(std::fabs(layout.columnSpacing()) - closing) > 1e-5 * closing;
    m_Showing = false;
    refresh();
}

void LayoutDialog::showValue(QDoubleSpinBox* box, double value)
{
    box->setValue(value);
    m_ShownValues.insert(box, qMakePair(value, box->value()));
}

double LayoutDialog::value(const QDoubleSpinBox* box) const
{
    // A field rounds to its decimals: left as shown, it stands for the value it was given, so that
    // OK on an untouched panel read from a file changes nothing.
    const auto shown = m_ShownValues.value(box, qMakePair(box->value(), box->value()));
    return box->value() == shown.second ? shown.first : box->value();
}

void LayoutDialog::applyPreset(int index)
{
    if (index < 0 || index >= presetCount)
        return;
    const bool keepDefault = ui->checkBox_DefaultLayout->isChecked();
    showLayout(presetLayout(index));
    ui->checkBox_DefaultLayout->setChecked(keepDefault);
}

void LayoutDialog::typeChanged()
{
    const auto type = LedLayout::eType(ui->comboBox_LayoutType->currentData().toInt());
    LedLayout layout = LedLayout::create(type, ui->spinBox_Rows->value(), ui->spinBox_Columns->value());
    layout.setNumbering(LedLayout::eOrder(ui->comboBox_Order->currentData().toInt()),
                        ui->checkBox_Serpentine->isChecked());
    showLayout(layout);
    ui->comboBox_Preset->setCurrentIndex(presetCount);
}

void LayoutDialog::fieldEdited()
{
    if (m_Showing)
        return;
    ui->comboBox_Preset->setCurrentIndex(presetCount);
    refresh();
}

LedLayout LayoutDialog::panelLayout() const
{
    const auto type = LedLayout::eType(ui->comboBox_LayoutType->currentData().toInt());
    LedLayout layout(type);
    const int columns = ui->spinBox_Columns->value();
    layout.setSize(ui->spinBox_Rows->value(), columns);
    double columnSpacing = value(ui->doubleSpinBox_ColumnSpacing);
    if (type == LedLayout::Ring && !m_AngleEdited && columns != m_ShownColumns)
        columnSpacing = 360.0 / qMax(1, columns);
    // A negative spacing numbers a grid right to left and a ring counterclockwise.
    if (ui->checkBox_ReverseNumbering->isChecked())
        columnSpacing = -columnSpacing;
    layout.setSpacings(m_RowSign * value(ui->doubleSpinBox_RowSpacing), columnSpacing);
    layout.setNumbering(LedLayout::eOrder(ui->comboBox_Order->currentData().toInt()),
                        ui->checkBox_Serpentine->isChecked());
    layout.setFirstLedPosition(QPointF(value(ui->doubleSpinBox_FirstLedX), value(ui->doubleSpinBox_FirstLedY)));
    if (ui->groupBox_Advanced->isChecked()) {
        layout.setRectangle(QRectF(value(ui->doubleSpinBox_BodyX), value(ui->doubleSpinBox_BodyY),
                                   value(ui->doubleSpinBox_BodyWidth), value(ui->doubleSpinBox_BodyHeight)));
        layout.setDiameters(value(ui->doubleSpinBox_InnerDiameter), value(ui->doubleSpinBox_OuterDiameter));
    } else {
        layout.fitBody();
    }
    return layout;
}

void LayoutDialog::refresh()
{
    const bool ring = ui->comboBox_LayoutType->currentData().toInt() == LedLayout::Ring;
    ui->label_Rows->setText(ring ? tr("Circles") : tr("Rows"));
    ui->label_Columns->setText(ring ? tr("LEDs per circle") : tr("Columns"));
    ui->label_RowSpacing->setText(ring ? tr("Circle spacing") : tr("Row spacing"));
    ui->label_ColumnSpacing->setText(ring ? tr("Angle between LEDs") : tr("Column spacing"));
    ui->comboBox_Order->setItemText(0, ring ? tr("Around each circle first") : tr("Rows first"));
    ui->comboBox_Order->setItemText(1, ring ? tr("Across the circles first") : tr("Columns first"));
    for (QWidget* w : std::initializer_list<QWidget*> { ui->label_BodyX, ui->label_BodyY, ui->label_BodyWidth,
                                                        ui->label_BodyHeight, ui->doubleSpinBox_BodyX,
                                                        ui->doubleSpinBox_BodyY, ui->doubleSpinBox_BodyWidth,
                                                        ui->doubleSpinBox_BodyHeight })
        w->setVisible(!ring);
    for (QWidget* w : std::initializer_list<QWidget*> { ui->label_InnerDiameter, ui->label_OuterDiameter,
                                                        ui->doubleSpinBox_InnerDiameter,
                                                        ui->doubleSpinBox_OuterDiameter })
        w->setVisible(ring);
    if (ring && !m_AngleEdited) {
        m_Showing = true;
        ui->doubleSpinBox_ColumnSpacing->setValue(360.0 / qMax(1, ui->spinBox_Columns->value()));
        m_Showing = false;
    }

    const LedLayout layout = panelLayout();
    QString reason;
    const bool valid = layout.isValid(&reason);
    ui->label_Problem->setText(reason);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(valid || keepsDocumentLayout(layout));
    m_pPreview->setPanelLayout(layout);
}

bool LayoutDialog::keepsDocumentLayout(const LedLayout& layout) const
{
    // New documents never start on a layout that could not be made anew.
    return layout == m_pDocument->panelLayout() && !ui->checkBox_DefaultLayout->isChecked();
}

LedLayout LayoutDialog::defaultLayout()
{
    const QString xmlText = MainSettings::value(QLatin1String(defaultLayoutKey), QString()).toString();
    if (xmlText.isEmpty())
        return LedLayout();
    QXmlStreamReader xml(xmlText);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Layout"))
        return LedLayout();
    const QStringRef type = xml.attributes().value(QLatin1String("type"));
    if (type != QLatin1String("Rectangle") && type != QLatin1String("Ring"))
        return LedLayout();
    LedLayout layout(type == QLatin1String("Ring") ? LedLayout::Ring : LedLayout::Rectangle);
    layout.readXML(xml);
    // A broken entry gives the default ring rather than an unusable panel.
    if (xml.hasError() || !layout.isValid())
        return LedLayout();
    return layout;
}

void LayoutDialog::accept()
{
    const LedLayout layout = panelLayout();
    if (!layout.isValid() && !keepsDocumentLayout(layout))
        return;
    qint64 dropped = 0;
    if (layout != m_pDocument->panelLayout()) {
        ChangeLayoutEdit::eKeep keep = ChangeLayoutEdit::KeepPlaces;
        if (choiceMatters(*m_pDocument, layout)) {
            QMessageBox question(QMessageBox::Question, tr("Numbering"),
                                 tr("The LEDs are numbered anew. Keep the pictures as drawn, each value moving "
                                    "with its LED's place, or keep the values by LED number?"),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
            question.button(QMessageBox::Yes)->setText(tr("Keep pictures as drawn"));
            question.button(QMessageBox::No)->setText(tr("Keep values by number"));
            const int answer = question.exec();
            if (answer == QMessageBox::Cancel)
                return;
            if (answer == QMessageBox::No)
                keep = ChangeLayoutEdit::KeepIndices;
        }
        auto* edit = new ChangeLayoutEdit(*m_pDocument, layout, keep);
        dropped = edit->droppedLitCount();
        if (!m_pDocument->submit(edit))
            return;
    }
    // Only what was taken: a numbering question cancelled or a refused change leave new documents alone too.
    if (ui->checkBox_DefaultLayout->isChecked()) {
        QString text;
        QXmlStreamWriter xml(&text);
        layout.writeXML(xml);
        MainSettings::setValue(QLatin1String(defaultLayoutKey), text);
    } else {
        MainSettings::remove(QLatin1String(defaultLayoutKey));
    }
    QDialog::accept();
    emit layoutChanged(dropped);
}
