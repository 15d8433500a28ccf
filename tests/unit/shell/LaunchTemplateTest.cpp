#include "shell/LaunchTemplate.h"

#include <gtest/gtest.h>

namespace {

const QString File = "/home/u/my docs/a.pdf";
const QString AdobeDefault = "/A \"page=%p&pagemode=none\" \"%f\"";
const QString NewInstanceDefault =
    QString::fromUtf8("-V -C=\" ❤ OrvalePDF\" -L=\"%b\\OrvalePDF2.dat\"%%-B --page-index %p \"%f\"");

struct Case {
    TLaunchTemplate kind;
    QString templ;
    QString file; // empty: no document
    QString text;
    QStringList args;
};

using K = TLaunchTemplate;

} // namespace

TEST(LaunchTemplate, EveryCodeWithAndWithoutAFile)
{
    const Case cases[] = {
        // The defaults.
        {K::ExternalViewer,
         AdobeDefault,
         File,
         "/A \"page=7&pagemode=none\" \"" + File + "\"",
         {"/A", "page=7&pagemode=none", File}},
        {K::NewInstance,
         NewInstanceDefault,
         File,
         QString::fromUtf8("-V -C=\" ❤ OrvalePDF\" -L=\"%b\\OrvalePDF2.dat\" -B --page-index 7 \"") + File + "\"",
         {"-V", QString::fromUtf8("-C= ❤ OrvalePDF"), "-L=%b\\OrvalePDF2.dat", "-B", "--page-index", "7", File}},
        {K::NewInstance,
         NewInstanceDefault,
         "",
         QString::fromUtf8("-V -C=\" ❤ OrvalePDF\" -L=\"\\OrvalePDF2.dat\""),
         {"-V", QString::fromUtf8("-C= ❤ OrvalePDF"), "-L=\\OrvalePDF2.dat"}},
        // %p
        {K::ExternalViewer, "-p %p", File, "-p 7", {"-p", "7"}},
        {K::NewInstance, "-p %p", File, "-p 7", {"-p", "7"}},
        {K::NewInstance, "-p %p", "", "-p ", {"-p"}},
        // %f: the path is one argument, quoted or not.
        {K::ExternalViewer, "%f", File, File, {File}},
        {K::NewInstance, "x%fy", File, "x" + File + "y", {"x" + File + "y"}},
        {K::NewInstance, "a %f b", "", "a  b", {"a", "b"}},
        // %%
        {K::ExternalViewer, "a%%b %%", File, "a%%b %%", {"a%%b", "%%"}},
        {K::NewInstance, "a%%b %%", File, "a b  ", {"a", "b"}},
        {K::NewInstance, "a %p%%b %p", "", "a ", {"a"}},
        // Any other pair.
        {K::ExternalViewer, "%b %x", File, "%b %x", {"%b", "%x"}},
        {K::NewInstance, "%b\\x %1", File, "%b\\x %1", {"%b\\x", "%1"}},
        {K::NewInstance, "a%bc %1d", "", "ac d", {"ac", "d"}},
        // "%" last.
        {K::ExternalViewer, "50%", File, "50", {"50"}},
        {K::NewInstance, "50%", File, "50", {"50"}},
        {K::NewInstance, "50%", "", "50", {"50"}},
        // Nothing.
        {K::ExternalViewer, "", File, "", {}},
        {K::NewInstance, "%%-B", "", "", {}},
    };
    for (const Case &c : cases) {
        const TLaunchArguments got = ExpandLaunchTemplate(c.kind, c.templ, c.file, 7);
        EXPECT_EQ(got.text, c.text) << (c.templ + " file " + c.file).toStdString();
        EXPECT_EQ(got.args, c.args) << (c.templ + " file " + c.file).toStdString();
    }
}

TEST(LaunchTemplate, AFileNameNeverAddsOrSplitsArguments)
{
    // Names a shell or the splitter would read: quotes, blanks, "$(...)", ";", backslashes
    // before a quote.
    const QString names[] = {
        "/tmp/a \"b\" c.pdf",         "/tmp/$(touch x); rm -rf ~.pdf", "/tmp/back\\\"slash.pdf",
        "/tmp/ends with backslash\\", "/tmp/two\\\\\" quotes\".pdf",
    };
    for (const QString &name : names) {
        EXPECT_EQ(ExpandLaunchTemplate(K::ExternalViewer, AdobeDefault, name, 3).args,
                  QStringList({"/A", "page=3&pagemode=none", name}))
            << name.toStdString();
        EXPECT_EQ(ExpandLaunchTemplate(K::NewInstance, "--page-index %p %f", name, 3).args,
                  QStringList({"--page-index", "3", name}))
            << name.toStdString();
    }
}

TEST(LaunchTemplate, TheSplittersRulesApplyToTheTemplateItself)
{
    // Backslashes before a quote in the template escape it; quotes group.
    EXPECT_EQ(ExpandLaunchTemplate(K::ExternalViewer, "\"a b\" c\\\"d \"%f\"", "/x y.pdf", 1).args,
              QStringList({"a b", "c\"d", "/x y.pdf"}));
    // A stand-in character typed into a template is not a placeholder.
    EXPECT_EQ(ExpandLaunchTemplate(K::ExternalViewer, QString(QChar(0xFDD0)) + "%f", "/x.pdf", 1).args,
              QStringList({"/x.pdf"}));
}
