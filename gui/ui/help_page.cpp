#include "gui/ui/help_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace visual {

namespace {

const char kDescription[] = R"(
<h3>Visual CFG creator for zarvex</h3>
<p>Программа готовит файлы для конвертера <b>zarvex</b>, который делает из одной подробной карты
в польском формате (*.mp) многоуровневую: для каждого типа объектов задаётся, на каких уровнях
он виден, как меняется его название, тип или вид объекта. Писать скрипт правил вручную
не нужно: программа напишет его сама.</p>
<p><b>Перед началом работы</b> укажите на панели инструментов путь к файлам type-*.dat от MapEdit
(описания типов объектов). Без них программа не сможет назвать типы объектов карты.</p>
<p><b>Порядок работы</b></p>
<ol>
<li>Нажмите кнопку «Новый».</li>
<li>На странице Header в поле File выберите карту в польском формате (*.mp).
Программа прочитает заголовок, уровни карты и найдёт все типы объектов. Если конвертер
прочитает карту только в мягком режиме (--lenient), под полем File будет сказано почему,
и bat-файл запустит конвертер в этом режиме.</li>
<li>Задайте уровни новой карты в списке «После переделки:» кнопками «Изменить»,
«Добавить перед», «Удалить» или «Город умолч...». Уровень 0 всегда остаётся уровнем самой
карты.</li>
<li>В дереве слева выберите по очереди каждый найденный тип объектов и опишите на странице
Objects его поведение: видимость по уровням, смену названия, типа и вида объекта, условия
по площади, длине, высоте или ширине. Новые, ещё не описанные типы выделены жирным.</li>
<li>Сохраните работу кнопкой «Сохранить» (файл *.set). Кнопка «Загрузить» вернёт её позже;
карта при этом будет прочитана заново, и новые типы снова будут выделены жирным.</li>
<li>Нажмите «Генерация»: укажите имена файла заголовка, скрипта, bat-файла, новой карты и путь
к zarvex. Если отмечено «Выполнить BAT после генерации», конвертер запустится сразу.</li>
</ol>
<p>Поле «Произвольная строка» вставляется в скрипт как есть: прежде чем пользоваться им,
изучите правила языка скриптов zarvex.</p>
)";

const char kChanges[] = R"(
<h3>История изменений</h3>
<p><b>0.04b</b></p>
<ul>
<li>Условия «Если»: до трёх вариантов для каждого типа объектов по площади, длине, высоте
или ширине, со своей видимостью и сменой типа.</li>
<li>Список «Сменить тип объекта» предлагает типы того вида объекта, который выбран рядом,
и раскрывается при наборе текста.</li>
<li>Кнопки очистки рядом со списками.</li>
<li>Если карта перемещена, при загрузке программа просит указать её заново.</li>
<li>Путь к файлам type-*.dat, путь к zarvex и выбор запуска bat-файла запоминаются.</li>
</ul>
<p><b>0.03b</b></p>
<ul>
<li>Сохранение и загрузка работы в файлах *.set.</li>
<li>Новые типы объектов, найденные в карте, выделяются в дереве жирным.</li>
<li>Редактирование уровней новой карты и уровни «Город умолч...».</li>
<li>Генерация файла заголовка, скрипта и bat-файла для запуска zarvex.</li>
</ul>
)";

}  // namespace

HelpPage::HelpPage(const QString& name, const QString& html, const QString& buttonName,
                   const QString& buttonText, QWidget* parent)
    : QWidget(parent), button_(new QPushButton(buttonText, this)) {
  setObjectName(name);
  auto* text = new QTextBrowser(this);
  text->setObjectName(name + QStringLiteral("Text"));
  text->setHtml(html);
  button_->setObjectName(buttonName);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text, 1);
  layout->addLayout(buttons);
}

HelpPage* HelpPage::description(QWidget* parent) {
  return new HelpPage(QStringLiteral("Default"), QString::fromUtf8(kDescription),
                      QStringLiteral("Button2"), QStringLiteral("Изменения"), parent);
}

HelpPage* HelpPage::changes(QWidget* parent) {
  return new HelpPage(QStringLiteral("Changes"), QString::fromUtf8(kChanges),
                      QStringLiteral("Button1"), QStringLiteral("Описание"), parent);
}

}  // namespace visual
