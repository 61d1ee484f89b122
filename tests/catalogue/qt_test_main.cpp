// The model and scan tests need an application object for queued deliveries and signal waits.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
