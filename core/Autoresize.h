#pragma once

#include <QObject>

// The graph's automatic Y range, one for the whole application. GUI thread only.
class Autoresize : public QObject {
    Q_OBJECT

public:
    explicit Autoresize(QObject* parent = nullptr) : QObject(parent) {}

    double minYAutoresize() const { return m_minYAutoresize; }
    void setMinYAutoresize(double value) { m_minYAutoresize = value; }
    double maxYAutoresize() const { return m_maxYAutoresize; }
    void setMaxYAutoresize(double value) { m_maxYAutoresize = value; }

private:
    double m_minYAutoresize = 0.0;
    double m_maxYAutoresize = 0.0;
};
