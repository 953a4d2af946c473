#pragma once

#include <QLabel>
#include <QWidget>
#include <vector>

#include "alerts/rule_sentence.h"

class QScrollBar;

// One word of the sentence; placeholders report clicks.
class SentenceLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A rule's sentence as a row of word labels (`lblTxt`) in the frame `picRuleFrame` inside
// the viewport `picRuleFrame2`, with the scroll bar `VScroll` when the words do not fit.
class RuleSentenceView : public QWidget {
    Q_OBJECT
public:
    explicit RuleSentenceView(QWidget* parent = nullptr);

    // Shows the words; placeholders are blue and underlined, red when `highlight_missing`
    // is set and the word is still unfilled.
    void show_words(const std::vector<SentenceWord>& words, bool highlight_missing);
    const std::vector<SentenceLabel*>& labels() const { return lblTxt; }
    int word_count() const { return static_cast<int>(words_.size()); }
    QScrollBar* scroll_bar() const { return VScroll; }
    QWidget* frame() const { return picRuleFrame; }

signals:
    void word_clicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void lay_out();

    QWidget* picRuleFrame2;
    QWidget* picRuleFrame;
    QScrollBar* VScroll;
    std::vector<SentenceLabel*> lblTxt;
    std::vector<SentenceWord> words_;
};
