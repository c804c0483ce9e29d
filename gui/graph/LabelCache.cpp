#include "LabelCache.h"

#include <QPainter>

#include "GraphStyle.h"

void LabelCache::drawText(QPainter& painter, const QFont& base, ModelGraph::EnumGraph key, const QRect& rect,
                          int flags, const QString& text) {
    if (base != m_base) {
        m_base = base;
        m_fonts.clear();
        m_texts.clear();
    }
    auto font = m_fonts.find(int(key));
    if (font == m_fonts.end())
        font = m_fonts.insert(int(key), GraphStyle::textFont(m_base, key));
    if (m_texts.size() > MAX_TEXTS)
        m_texts.clear();
    const QString id = QString::number(int(key)) + QLatin1Char('|') + text;
    auto it = m_texts.find(id);
    if (it == m_texts.end()) {
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.prepare(QTransform(), *font);
        it = m_texts.insert(id, laidOut);
    }
    const QSizeF size = it->size();
    double x = rect.x();
    if (flags & Qt::AlignRight)
        x = rect.x() + rect.width() - size.width();
    else if (flags & Qt::AlignHCenter)
        x = rect.x() + (rect.width() - size.width()) / 2.0;
    double y = rect.y();
    if (flags & Qt::AlignBottom)
        y = rect.y() + rect.height() - size.height();
    else if (flags & Qt::AlignVCenter)
        y = rect.y() + (rect.height() - size.height()) / 2.0;
    if (painter.font() != *font)
        painter.setFont(*font);
    painter.setPen(GraphStyle::textPen(key));
    painter.drawStaticText(QPointF(x, y), *it);
}
