#pragma once

class QProcess;

// Makes the process, once started, die with the test process that started it,
// even when that one aborts, so that it never keeps a loopback address busy for
// later runs. Call before start(), on the thread that keeps running the test:
// the kernel ties the child's end to the thread that started it.
void endsWithTest(QProcess& process);
