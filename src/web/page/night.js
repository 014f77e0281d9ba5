// Runs before the page is drawn: the night look remembered by this browser, so no white flash.
try {
  if (localStorage.getItem("selvane-nuit") === "1") document.documentElement.className = "nuit";
} catch (e) {}
