#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLibraryInfo>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <functional>

namespace visual {

/// Loads Qt's Russian texts, as the program does at start-up; false when they are missing.
inline bool installRussian(QTranslator& translator) {
  return translator.load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
         QApplication::installTranslator(&translator);
}

/// Types `text` into `widget` key by key; unlike QTest::keyClicks it takes any letters.
inline void typeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

/// Runs `answer` on the next modal window that opens, from inside its event loop.
inline void whenModalOpens(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
}

}  // namespace visual
