#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The PDF files that the print server of tools/cups-session.sh writes for this test alone, read
// back with poppler's tools (run as Unix programs from the Windows test).

// Why this test cannot print to the session's PDF printer; empty when it can.
std::string PrintSkipReason();

// Why Wine shows this test no printer of the session's print server although it runs; empty when
// the session's queue is among the printers.
std::string PrinterUnseenReason();

// Runs Command with /bin/sh and waits for it; false when it could not be started or did not end.
bool RunUnix(const std::string& Command);

// A printed file read back.
struct TPrintedPdf {
    std::string Name;               // the file's name in the output folder
    std::string Info;               // pdfinfo's report
    std::vector<std::string> Pages; // pdftotext -layout, one UTF-8 text per page
    std::string Path;               // the file's Unix path while it is kept
};

// Waits until the folder holds a PDF file and the print server's queue lists no job, then takes
// the one file (the test's last job), reads it back and moves it aside. Fails the test when
// there is not exactly one.
TPrintedPdf TakePrinted();

// Waits until the print server's queue lists no job, then the names of the PDF files in the
// folder: none when nothing was printed since the last TakePrinted.
std::vector<std::string> PrintedFiles();

// The page's pixels, rendered at Dpi by pdftoppm, that lie within 24 of Colour in each of red,
// green and blue.
int PixelsNear(const TPrintedPdf& Pdf, int Page, int Dpi, COLORREF Colour);

// Text with every run of white space made one space, without white space at its ends, and 年
// in its ordinary form.
std::string Squeezed(const std::string& Text);
