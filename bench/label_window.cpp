// The baseline of bench/startup.py: the least Qt window, one QLabel, started and painted.
// It writes "vekta-mark window MS" to stderr once its first paint is done, as the client
// does with VEKTA_PAINT_MARKS set.

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !marked_) {
            marked_ = true;
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::fprintf(stderr, "vekta-mark window %.3f\n",
                             std::chrono::duration<double, std::milli>(now).count());
                std::fflush(stderr);
            });
        }
        return false;
    }

private:
    bool marked_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QString::fromUtf8("ВЕКТА"));
    label.installEventFilter(new FirstPaint(&app));
    label.resize(600, 380);
    label.show();
    return QApplication::exec();
}
