#include "alerts/qt/rule_sentence_view.h"

#include <QMouseEvent>
#include <QScrollBar>

void SentenceLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

RuleSentenceView::RuleSentenceView(QWidget* parent)
    : QWidget(parent),
      picRuleFrame2(new QWidget(this)),
      picRuleFrame(new QWidget(picRuleFrame2)),
      VScroll(new QScrollBar(Qt::Vertical, this)) {
    setObjectName(QStringLiteral("RuleSentenceView"));
    picRuleFrame2->setObjectName(QStringLiteral("picRuleFrame2"));
    picRuleFrame->setObjectName(QStringLiteral("picRuleFrame"));
    VScroll->setObjectName(QStringLiteral("VScroll"));
    picRuleFrame2->setAutoFillBackground(true);
    QPalette p = picRuleFrame2->palette();
    p.setColor(QPalette::Window, Qt::white);
    picRuleFrame2->setPalette(p);
    VScroll->hide();
    setMinimumSize(200, 60);
    connect(VScroll, &QScrollBar::valueChanged, this,
            [this](int v) { picRuleFrame->move(picRuleFrame->x(), frame_top_for_scroll(v)); });
}

void RuleSentenceView::show_words(const std::vector<SentenceWord>& words, bool highlight_missing) {
    words_ = words;
    while (lblTxt.size() < words.size()) {
        auto* label = new SentenceLabel(picRuleFrame);
        label->setObjectName(QStringLiteral("lblTxt"));
        const int index = static_cast<int>(lblTxt.size());
        connect(label, &SentenceLabel::clicked, this, [this, index] {
            if (index < word_count()) emit word_clicked(index);
        });
        lblTxt.push_back(label);
    }
    // Surplus labels go; the first one stays, hidden, when there are no words.
    while (lblTxt.size() > std::max<std::size_t>(words.size(), 1)) {
        delete lblTxt.back();
        lblTxt.pop_back();
    }
    if (words.empty() && !lblTxt.empty()) lblTxt.front()->hide();
    for (std::size_t i = 0; i < words.size(); ++i) {
        SentenceLabel* label = lblTxt[i];
        const SentenceWord& w = words[i];
        label->setText(QString::fromStdString(w.text));
        QFont f = font();
        f.setUnderline(w.placeholder());
        label->setFont(f);
        QColor colour = Qt::black;
        if (w.placeholder()) {
            colour = highlight_missing && w.text.starts_with('<') ? QColor(255, 0, 0) : QColor(0, 0, 255);
        }
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
        label->setCursor(w.placeholder() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        label->adjustSize();
        label->show();
    }
    lay_out();
}

void RuleSentenceView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lay_out();
}

void RuleSentenceView::lay_out() {
    picRuleFrame2->setGeometry(rect());
    std::vector<int> widths;
    for (std::size_t i = 0; i < words_.size(); ++i) widths.push_back(lblTxt[i]->sizeHint().width());
    const SentenceLayout layout = layout_sentence(widths, width(), height());
    for (std::size_t i = 0; i < words_.size(); ++i) {
        lblTxt[i]->move(layout.places[i].left, layout.places[i].top);
    }
    picRuleFrame->resize(layout.frame_width, layout.frame_height);
    if (layout.scroll_bar) {
        VScroll->setGeometry(width() - 17, 0, 17, height());
        VScroll->setMaximum(layout.scroll_max);
        VScroll->show();
        VScroll->raise();
        picRuleFrame->move(0, frame_top_for_scroll(VScroll->value()));
    } else {
        VScroll->setValue(0);
        VScroll->setMaximum(0);
        VScroll->hide();
        picRuleFrame->move(0, 0);
    }
}
