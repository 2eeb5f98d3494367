#include "AboutDialog.h"
#include "ui_AboutDialog.h"

#include "MainWindow/AppIcon.h"

#include <QCoreApplication>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->setupUi(this);
    ui->label_version->setText(tr("version: %1").arg(QCoreApplication::applicationVersion()));
    auto* scene = new QGraphicsScene(this);
    scene->addPixmap(AppIcon::icon().pixmap(64));
    ui->graphicsView->setScene(scene);
    connect(ui->pushButton_Close, &QPushButton::pressed, this, &QDialog::close);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}
