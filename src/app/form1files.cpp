// The File and Help menus' handlers.
#include "form1.h"

void Form1::MnuFileNew()
{
    m_document.newDocument();
}

void Form1::MnuFileOpen()
{
    m_files.OpenFareFile();
}

void Form1::MnuFileSaveAs()
{
    m_files.SaveFareFile();
}

void Form1::MnuFileTxtInport()
{
    m_files.ImportText();
}

void Form1::MnuFileSaveTxt()
{
    m_files.SaveText();
}

void Form1::MnuFileExit()
{
    // Exactly as the close box: the closing prompt decides.
    close();
}

void Form1::MnuHelpVersion()
{
    m_platform.showVersionDialog();
}
