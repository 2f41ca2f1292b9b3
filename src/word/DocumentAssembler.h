#pragma once

#include "files/Status.h"

#include <QString>

#include <memory>

class EditableDocument;

// Builds the issue document: opens a template, appends paragraphs at its end
// and saves the result in the template's format. The five operations keep the
// names the build dialog has always called; one instance serves one dialog.
//
// Templates are recognised by content, whatever their name: Office Open XML
// (.docx, .dotx, .docm, .dotm; saved as a plain .docx), OpenDocument text
// (.odt, .ott; saved as .odt) and RTF. Binary Word 97-2003 files, empty files,
// damaged or oversized archives and other kinds of file are refused with a
// message that names the file and says what to do (see WordErrors.h).
class DocumentAssembler
{
public:
    DocumentAssembler();
    ~DocumentAssembler();
    DocumentAssembler(const DocumentAssembler &) = delete;
    DocumentAssembler &operator=(const DocumentAssembler &) = delete;

    // Reads the template at path (relative paths resolve against the current
    // working directory). A document still open from an earlier build is
    // discarded first. On failure no document is open.
    Status OpenTemplate(const QString &path);

    // Adds a paragraph holding text at the end of the open document, with the
    // paragraph properties of the template's last paragraph. Characters that
    // documents cannot hold (control characters other than tab and line ends)
    // are left out; a line end becomes a line break inside the paragraph.
    // When styleName names a paragraph style the template defines (as the
    // word processor shows the name, in any letter case), the paragraph takes
    // that style instead; a character style or a style of another kind with
    // that name does not count. Fails only when no document is open.
    Status AppendParagraph(const QString &text, const QString &styleName = {});

    // Writes the open document to name (relative to the working directory),
    // replacing an existing file atomically: a failed save leaves the old file
    // whole. The template changes only when name is the template itself.
    Status SaveDocumentAs(const QString &name);

    // Closes the open document. Closing when none is open succeeds.
    Status CloseDocument();

    // Lets go of everything the engine holds.
    void ReleaseWord();

    // Drops the open document and whatever was appended, after a failure
    // anywhere in a build, so that the next build starts clean.
    void discard();

    bool isOpen() const;

private:
    std::unique_ptr<EditableDocument> m_document;
};
