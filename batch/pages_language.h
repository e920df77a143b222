#pragma once

#include <filesystem>
#include <optional>

#include "base/site_language.h"

namespace fragtally {

// The language a folder's match pages were written in, kept in a small file of
// the folder (kPagesLanguageName): a match record only says a log is done, not
// in which language its page is, and the pages of the logs a run is not given
// must be redone all the same when the language changes. One file for the
// folder keeps the records as they are and costs one read per run.

/// The language of `folder`'s match pages: the one its file names; Russian
/// where there is no file (a folder written before there were languages, or
/// only ever in Russian); nothing when the file is there but names none, so
/// that the pages are redone.
std::optional<SiteLanguage> readPagesLanguage(const std::filesystem::path& folder);

/// Stores `language` as that of `folder`'s match pages, through a durable
/// store. Returns false when it could not be stored.
bool storePagesLanguage(const std::filesystem::path& folder, SiteLanguage language);

}  // namespace fragtally
