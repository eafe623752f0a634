#include "gui/windows/form_fields.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>

#include <algorithm>

namespace tovimo {

namespace {

std::string valueOf(const QLineEdit* e) {
    return e->text().toStdString();
}
std::string valueOf(const QLabel* l) {
    return l->text().toStdString();
}
bool valueOf(const QCheckBox* c) {
    return c->isChecked();
}
int valueOf(const QButtonGroup* g) {
    return g->checkedId();
}
int valueOf(const QSlider* s) {
    return s->value();
}
int valueOf(const QProgressBar* p) {
    return p->value();
}
int valueOf(const QComboBox* c) {
    return c->currentIndex();
}

void show(QLineEdit* e, const std::string& v) {
    const QString t = QString::fromStdString(v);
    if (e->text() != t) e->setText(t);
}
void show(QLabel* l, const std::string& v) {
    l->setText(QString::fromStdString(v));
}
void show(QCheckBox* c, bool v) {
    c->setChecked(v);
}
void show(QButtonGroup* g, int id) {
    if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}
void show(QSlider* s, int v) {
    s->setValue(v);
}
void show(QProgressBar* p, int v) {
    p->setValue(std::clamp(v, p->minimum(), p->maximum()));
}
void show(QComboBox* c, int index) {
    if (index >= 0 && index < c->count()) c->setCurrentIndex(index);
}

} // namespace

void ReadField(const AnyFormField& field, MainForm& form) {
    std::visit([&](const auto& f) { form.*f.member = valueOf(f.control); }, field);
}

void ShowField(const AnyFormField& field, const MainForm& form) {
    std::visit([&](const auto& f) { show(f.control, form.*f.member); }, field);
}

} // namespace tovimo
