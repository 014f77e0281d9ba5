<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>alignment</name>
    <message>
        <source>Alignement : aucune étoile</source>
        <translation>Alignment: no star</translation>
    </message>
    <message>
        <source>Alignement refusé : deux étoiles au même endroit du ciel, choisissez-en une autre plus loin</source>
        <translation>Alignment refused: two stars at the same place in the sky, choose another one farther away</translation>
    </message>
    <message>
        <source>Alignement refusé : les étoiles sont sur un même cercle horaire, choisissez-en une à l&apos;est ou à l&apos;ouest</source>
        <translation>Alignment refused: the stars lie on one hour circle, choose one to the east or to the west</translation>
    </message>
    <message>
        <source>Alignement refusé : les étoiles sont trop proches les unes des autres, choisissez-les mieux réparties</source>
        <translation>Alignment refused: the stars are too close to one another, choose them better spread</translation>
    </message>
    <message>
        <source>Alignement refusé : le modèle trouvé s&apos;écarte de %.1f° du ciel (limite %.0f°), vérifiez les étoiles centrées</source>
        <translation>Alignment refused: the model found departs %.1f° from the sky (limit %.0f°), check the centred stars</translation>
    </message>
    <message>
        <source>Alignement refusé : l&apos;étoile est à %.1f° de l&apos;endroit où le modèle place le télescope (limite %.1f°) ; vérifiez l&apos;étoile centrée</source>
        <translation>Alignment refused: the star is %.1f° from where the model puts the telescope (limit %.1f°); check the centred star</translation>
    </message>
    <message>
        <source>Alignement refusé : l&apos;ajustement du modèle n&apos;a pas convergé</source>
        <translation>Alignment refused: the fit of the model did not converge</translation>
    </message>
</context>
<context>
    <name>app</name>
    <message>
        <source>: non disponible. Changez la propriété CommPort pour un autre port.</source>
        <translation>: not available. Change the CommPort property to another port.</translation>
    </message>
    <message>
        <source>Etes-vous sûr de vouloir quitter?</source>
        <translation>Are you sure you want to quit?</translation>
    </message>
</context>
<context>
    <name>catalogue</name>
    <message>
        <source>Objet : </source>
        <translation>Object: </translation>
    </message>
    <message>
        <source>Objet inconnu : </source>
        <translation>Unknown object: </translation>
    </message>
    <message>
        <source> à </source>
        <translation> at </translation>
    </message>
    <message>
        <source>Lune géocentrique : jusqu&apos;à 1° d&apos;écart sans --lieu</source>
        <translation>Geocentric Moon: up to 1° off without --lieu</translation>
    </message>
    <message>
        <source>J2000 → date : </source>
        <translation>J2000 → date: </translation>
    </message>
</context>
<context>
    <name>entry</name>
    <message>
        <source>Presse papier: <byte value="xd"/>
</source>
        <translation>Clipboard: <byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Coordonnées non reconnues</source>
        <translation>Coordinates not recognised</translation>
    </message>
    <message>
        <source> […] (presse papier coupé pour l&apos;affichage)</source>
        <translation> […] (clipboard cut for display)</translation>
    </message>
</context>
<context>
    <name>indi</name>
    <message>
        <source>Autoguidage</source>
        <translation>Autoguiding</translation>
    </message>
    <message>
        <source>Marche</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Arrêt</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Sidéral</source>
        <translation>Sidereal</translation>
    </message>
    <message>
        <source>Centrage</source>
        <translation>Centering</translation>
    </message>
    <message>
        <source>Rattrapage</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Rapide</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>pas de réponse du contrôleur </source>
        <translation>no reply from the controller </translation>
    </message>
    <message>
        <source>réponse illisible du contrôleur : </source>
        <translation>unreadable reply from the controller: </translation>
    </message>
    <message>
        <source>réponse arrivée en retard, ignorée</source>
        <translation>late reply, ignored</translation>
    </message>
    <message>
        <source>pas de « Ok » du contrôleur </source>
        <translation>no &quot;Ok&quot; from the controller </translation>
    </message>
    <message>
        <source> : GOTO abandonné</source>
        <translation>: GOTO abandoned</translation>
    </message>
    <message>
        <source>liaison série perdue : le contrôleur a raccroché</source>
        <translation>serial link lost: the controller hung up</translation>
    </message>
    <message>
        <source>liaison série perdue : erreur de lecture : </source>
        <translation>serial link lost: read error: </translation>
    </message>
    <message>
        <source>liaison série perdue : erreur d&apos;écriture : </source>
        <translation>serial link lost: write error: </translation>
    </message>
    <message>
        <source>liaison série perdue : le port n&apos;accepte plus rien</source>
        <translation>serial link lost: the port accepts nothing more</translation>
    </message>
    <message>
        <source>Le contrôleur ne répond pas sur </source>
        <translation>The controller does not answer on </translation>
    </message>
    <message>
        <source> (pas de réponse à </source>
        <translation> (no reply to </translation>
    </message>
    <message>
        <source>Réponse illisible du contrôleur sur %s : %s</source>
        <translation>Unreadable reply from the controller on %s: %s</translation>
    </message>
    <message>
        <source>Vérification du contrôleur sur %s échouée : %s</source>
        <translation>Check of the controller on %s failed: %s</translation>
    </message>
    <message>
        <source>Impossible d&apos;ouvrir %s : %s</source>
        <translation>Cannot open %s: %s</translation>
    </message>
    <message>
        <source>Adresse réseau invalide : « %s » (un hôte et un port de 1 à 65535 sont attendus)</source>
        <translation>Invalid network address: &quot;%s&quot; (a host and a port from 1 to 65535 are expected)</translation>
    </message>
    <message>
        <source>Pas de réponse de %s en %s s (hôte allumé ? sur ce réseau ?)</source>
        <translation>No answer from %s in %s s (host switched on? on this network?)</translation>
    </message>
    <message>
        <source>Le simulateur de monture n&apos;a pas pu démarrer</source>
        <translation>The mount simulator could not start</translation>
    </message>
    <message>
        <source>Vérification du contrôleur sur %s…</source>
        <translation>Checking the controller on %s…</translation>
    </message>
    <message>
        <source>Selvane connecté sur %s</source>
        <translation>Selvane connected on %s</translation>
    </message>
    <message>
        <source>Simulateur de monture sur %s</source>
        <translation>Mount simulator on %s</translation>
    </message>
    <message>
        <source>Mode de connexion inchangé : déconnectez d&apos;abord la ligne en service</source>
        <translation>Connection mode unchanged: disconnect the line in use first</translation>
    </message>
    <message>
        <source>Selvane n&apos;est pas connecté : rien n&apos;a été envoyé</source>
        <translation>Selvane is not connected: nothing was sent</translation>
    </message>
    <message>
        <source>Un GOTO est en cours : attendez sa fin</source>
        <translation>A GOTO is in progress: wait for its end</translation>
    </message>
    <message>
        <source>Cible refusée : AD et DEC doivent être des nombres</source>
        <translation>Target refused: RA and DEC must be numbers</translation>
    </message>
    <message>
        <source>Cible refusée : AD hors de 0–24 h ou DEC hors de −90–+90°</source>
        <translation>Target refused: RA outside 0–24 h or DEC outside −90–+90°</translation>
    </message>
    <message>
        <source>Cible refusée : hors du domaine du contrôleur</source>
        <translation>Target refused: outside the controller&apos;s range</translation>
    </message>
    <message>
        <source>Cible refusée : AD et DEC sont attendues ensemble</source>
        <translation>Target refused: RA and DEC are expected together</translation>
    </message>
    <message>
        <source>Cible refusée : AD illisible ou absente, un nombre est attendu</source>
        <translation>Target refused: RA unreadable or missing, a number is expected</translation>
    </message>
    <message>
        <source>Cible refusée : DEC illisible ou absente, un nombre est attendu</source>
        <translation>Target refused: DEC unreadable or missing, a number is expected</translation>
    </message>
    <message>
        <source>Durée max. d&apos;un mouvement</source>
        <translation>Longest move</translation>
    </message>
    <message>
        <source>Secondes (0 : sans limite)</source>
        <translation>Seconds (0: no limit)</translation>
    </message>
    <message>
        <source>Mouvement arrêté au bout de %d s : durée max. d&apos;un mouvement atteinte</source>
        <translation>Move stopped after %d s: longest move reached</translation>
    </message>
    <message>
        <source>%s refusé : un nombre de %g à %g est attendu</source>
        <translation>%s refused: a number from %g to %g is expected</translation>
    </message>
    <message>
        <source>Texte refusé : plus de %d octets</source>
        <translation>Text refused: more than %d bytes</translation>
    </message>
    <message>
        <source>GOTO terminé, contrôleur réinitialisé sur la cible</source>
        <translation>GOTO done, controller synced on the target</translation>
    </message>
    <message>
        <source>Port partagé</source>
        <translation>Shared port</translation>
    </message>
    <message>
        <source>Adresse du port partagé</source>
        <translation>Shared port address</translation>
    </message>
    <message>
        <source>Hôte:port</source>
        <translation>Host:port</translation>
    </message>
    <message>
        <source>Port partagé ouvert sur %s</source>
        <translation>Shared port open on %s</translation>
    </message>
    <message>
        <source>Port partagé fermé</source>
        <translation>Shared port closed</translation>
    </message>
    <message>
        <source>Port partagé impossible sur %s : %s</source>
        <translation>Shared port impossible on %s: %s</translation>
    </message>
    <message>
        <source>Adresse « %s » invalide : hôte:port attendu, par exemple 127.0.0.1:7625</source>
        <translation>Invalid address &quot;%s&quot;: host:port expected, for example 127.0.0.1:7625</translation>
    </message>
    <message>
        <source>Programme connecté au port partagé : %s</source>
        <translation>Program connected to the shared port: %s</translation>
    </message>
    <message>
        <source>Programme parti du port partagé : %s</source>
        <translation>Program left the shared port: %s</translation>
    </message>
    <message>
        <source>Port partagé : %s refusé, déjà %d programmes connectés</source>
        <translation>Shared port: %s refused, already %d programs connected</translation>
    </message>
    <message>
        <source>Refusé : un programme du port partagé fait un GOTO, attendez sa fin</source>
        <translation>Refused: a program on the shared port is making a GOTO, wait for its end</translation>
    </message>
    <message>
        <source>GOTO d&apos;un programme du port partagé en cours</source>
        <translation>GOTO of a program on the shared port in progress</translation>
    </message>
    <message>
        <source>Objet</source>
        <translation>Object</translation>
    </message>
    <message>
        <source>Nom (M 42, NGC 869, C 14, Vega, HD 8890, Jupiter…)</source>
        <translation>Name (M 42, NGC 869, C 14, Vega, HD 8890, Jupiter…)</translation>
    </message>
    <message>
        <source>Objet inconnu : %s</source>
        <translation>Unknown object: %s</translation>
    </message>
    <message>
        <source>Objet : %s, AD %.5f h DEC %.4f° à la date</source>
        <translation>Object: %s, RA %.5f h DEC %.4f° of the date</translation>
    </message>
    <message>
        <source>en </source>
        <translation>in </translation>
    </message>
    <message>
        <source>Sécurité solaire</source>
        <translation>Sun safety</translation>
    </message>
    <message>
        <source>GOTO d&apos;un programme du port partagé refusé : la cible est à %d° du Soleil (Sécurité solaire)</source>
        <translation>GOTO of a program on the shared port refused: the target is %d° from the Sun (Sun safety)</translation>
    </message>
    <message>
        <source>GOTO d&apos;un programme du port partagé refusé : sa cible est illisible</source>
        <translation>GOTO of a program on the shared port refused: its target is unreadable</translation>
    </message>
    <message>
        <source>GOTO d&apos;un programme du port partagé refusé : la cible du contrôleur est inconnue (Sécurité solaire)</source>
        <translation>GOTO of a program on the shared port refused: the controller&apos;s target is unknown (Sun safety)</translation>
    </message>
    <message>
        <source>GOTO refusé : la cible est à %d° du Soleil. Un instrument pointé vers le Soleil sans filtre solaire rend aveugle en un instant (Sécurité solaire : SUN_SAFETY_OFF pour observer le Soleil avec un filtre)</source>
        <translation>GOTO refused: the target is %d° from the Sun. An instrument pointed at the Sun without a solar filter blinds in an instant (Sun safety: SUN_SAFETY_OFF to observe the Sun with a filter)</translation>
    </message>
    <message>
        <source>Sécurité solaire coupée : un GOTO près du Soleil sera exécuté ; filtre solaire obligatoire</source>
        <translation>Sun safety off: a GOTO near the Sun will be carried out; a solar filter is mandatory</translation>
    </message>
    <message>
        <source>Attention : la cible est sous l&apos;horizon (hauteur %d°)</source>
        <translation>Warning: the target is below the horizon (altitude %d°)</translation>
    </message>
    <message>
        <source>Lieu refusé : latitude entre -90 et 90°, longitude entre 0 et 360° (est positive), altitude entre -500 et 10000 m</source>
        <translation>Site refused: latitude between -90 and 90°, longitude between 0 and 360° (east positive), elevation between -500 and 10000 m</translation>
    </message>
    <message>
        <source>Lieu : latitude %.4f°, longitude %.4f°, altitude %.0f m</source>
        <translation>Site: latitude %.4f°, longitude %.4f°, elevation %.0f m</translation>
    </message>
    <message>
        <source>Modèle de pointage</source>
        <translation>Pointing model</translation>
    </message>
    <message>
        <source>Étoiles du modèle</source>
        <translation>Model stars</translation>
    </message>
    <message>
        <source>Étoiles</source>
        <translation>Stars</translation>
    </message>
    <message>
        <source>Résidu (&apos;)</source>
        <translation>Residual (&apos;)</translation>
    </message>
    <message>
        <source>Oublier les étoiles</source>
        <translation>Forget the stars</translation>
    </message>
    <message>
        <source>Modèle de pointage : lieu inconnu (GEOGRAPHIC_COORD), synchronisation simple du contrôleur</source>
        <translation>Pointing model: site unknown (GEOGRAPHIC_COORD), plain sync of the controller</translation>
    </message>
    <message>
        <source>Alignement : %d étoile(s), résidu %.1f&apos;</source>
        <translation>Alignment: %d star(s), residual %.1f&apos;</translation>
    </message>
    <message>
        <source>Modèle de pointage : étoiles oubliées</source>
        <translation>Pointing model: stars forgotten</translation>
    </message>
    <message>
        <source>Modèle : %+.1f&apos; en AD, %+.1f&apos; en DEC</source>
        <translation>Model: %+.1f&apos; in RA, %+.1f&apos; in DEC</translation>
    </message>
    <message>
        <source>Alignement : termes %s, erreur attendue au pire %.1f&apos;</source>
        <translation>Alignment: terms %s, worst expected error %.1f&apos;</translation>
    </message>
    <message>
        <source>Modèle de pointage recommencé : un programme du port partagé a initialisé le contrôleur</source>
        <translation>Pointing model started again: a program on the shared port synced the controller</translation>
    </message>
    <message>
        <source>Air du lieu (réfraction)</source>
        <translation>Air at the site (refraction)</translation>
    </message>
    <message>
        <source>Température (°C)</source>
        <translation>Temperature (°C)</translation>
    </message>
    <message>
        <source>Pression (hPa)</source>
        <translation>Pressure (hPa)</translation>
    </message>
    <message>
        <source>Air refusé : température entre -60 et 60 °C, pression entre 300 et 1100 hPa</source>
        <translation>Air refused: temperature between -60 and 60 °C, pressure between 300 and 1100 hPa</translation>
    </message>
    <message>
        <source>Réfraction : %.1f °C et %.0f hPa, atmosphère standard à l&apos;altitude du lieu (%.0f m)</source>
        <translation>Refraction: %.1f °C and %.0f hPa, standard atmosphere at the site&apos;s elevation (%.0f m)</translation>
    </message>
    <message>
        <source>Réfraction : %.1f °C et %.0f hPa, donnés par POINTING_MODEL_AIR</source>
        <translation>Refraction: %.1f °C and %.0f hPa, given by POINTING_MODEL_AIR</translation>
    </message>
    <message>
        <source>Réfraction non appliquée : lieu inconnu (GEOGRAPHIC_COORD)</source>
        <translation>Refraction not applied: site unknown (GEOGRAPHIC_COORD)</translation>
    </message>
    <message>
        <source>indi_selvane_telescope: SELVANE_LANGUE=%s : attendu fr ou en, ignoré
</source>
        <translation>indi_selvane_telescope: SELVANE_LANGUE=%s: fr or en expected, ignored
</translation>
    </message>
</context>
<context>
    <name>langue</name>
    <message>
        <source>Langue des textes : fr ou en (par défaut : le français si la langue de l&apos;utilisateur est le français ou la locale C, l&apos;anglais sinon ; SELVANE_LANGUE fait de même).</source>
        <translation>Language of the texts: fr or en (by default French when the user&apos;s language is French or the locale is C, English otherwise; SELVANE_LANGUE does the same).</translation>
    </message>
    <message>
        <source>%1: %2 : attendu fr ou en</source>
        <translation>%1: %2: fr or en expected</translation>
    </message>
    <message>
        <source>%1: SELVANE_LANGUE=%2 : attendu fr ou en, ignoré</source>
        <translation>%1: SELVANE_LANGUE=%2: fr or en expected, ignored</translation>
    </message>
</context>
<context>
    <name>link</name>
    <message>
        <source>AD : </source>
        <translation>RA: </translation>
    </message>
    <message>
        <source>DEC: </source>
        <translation>DEC: </translation>
    </message>
    <message>
        <source>pas de réponse</source>
        <translation>no reply</translation>
    </message>
    <message>
        <source>Liaison série perdue</source>
        <translation>Serial link lost</translation>
    </message>
    <message>
        <source>Liaison série rétablie</source>
        <translation>Serial link back</translation>
    </message>
    <message>
        <source>Liaison série perdue : commandes non envoyées</source>
        <translation>Serial link lost: commands not sent</translation>
    </message>
</context>
<context>
    <name>liste</name>
    <message>
        <source>Liste…</source>
        <translation>List…</translation>
    </message>
    <message>
        <source>Ouvre une liste d&apos;observation : SkySafari (.skylist), Stellarium (.json), CSV ou un nom par ligne</source>
        <translation>Opens an observing list: SkySafari (.skylist), Stellarium (.json), CSV or one name per line</translation>
    </message>
    <message>
        <source>Précédent</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Objet précédent de la liste (Page préc.)</source>
        <translation>Previous object of the list (Page Up)</translation>
    </message>
    <message>
        <source>Suivant</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Objet suivant de la liste (Page suiv.)</source>
        <translation>Next object of the list (Page Down)</translation>
    </message>
    <message>
        <source>Liste d&apos;observation</source>
        <translation>Observing list</translation>
    </message>
    <message>
        <source>Listes d&apos;observation (*.skylist *.json *.csv *.txt);;Tous les fichiers (*)</source>
        <translation>Observing lists (*.skylist *.json *.csv *.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Liste : </source>
        <translation>List: </translation>
    </message>
    <message>
        <source> objets lus dans </source>
        <translation> objects read from </translation>
    </message>
    <message>
        <source>Liste : ligne </source>
        <translation>List: line </translation>
    </message>
    <message>
        <source>Liste : objet </source>
        <translation>List: object </translation>
    </message>
    <message>
        <source> illisible ou inconnu : </source>
        <translation> unreadable or unknown: </translation>
    </message>
    <message>
        <source> autres entrées illisibles</source>
        <translation> more unreadable entries</translation>
    </message>
    <message>
        <source>Liste de la dernière séance introuvable : </source>
        <translation>The last session&apos;s list is not found: </translation>
    </message>
    <message>
        <source>Liste modifiée depuis la dernière séance, reprise au début : </source>
        <translation>The list changed since the last session, taken up from its start: </translation>
    </message>
    <message>
        <source>Liste de la dernière séance illisible : </source>
        <translation>The last session&apos;s list does not read: </translation>
    </message>
    <message>
        <source>Fichier introuvable ou illisible : </source>
        <translation>File not found or unreadable: </translation>
    </message>
    <message>
        <source>Fichier trop gros pour une liste d&apos;observation (plus de 4 Mo) : </source>
        <translation>File too large for an observing list (over 4 MB): </translation>
    </message>
    <message>
        <source>Ce fichier n&apos;est pas du texte : </source>
        <translation>This file is not text: </translation>
    </message>
    <message>
        <source>Liste Stellarium mal formée : </source>
        <translation>Malformed Stellarium list: </translation>
    </message>
    <message>
        <source>Aucun objet lisible dans cette liste : </source>
        <translation>No readable object in this list: </translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Aucun port série trouvé.</source>
        <translation>No serial port found.</translation>
    </message>
    <message>
        <source>Raquette de commande de monture de télescope Selvane V2.2.</source>
        <translation>Selvane V2.2 hand controller for a telescope mount.</translation>
    </message>
    <message>
        <source>Port série à utiliser au lieu de COM1 (/dev/ttyUSB0…), ou HÔTE:PORT d&apos;un pont série-réseau (ser2net, adaptateur WiFi).</source>
        <translation>Serial port to use instead of COM1 (/dev/ttyUSB0…), or HOST:PORT of a serial-to-network bridge (ser2net, WiFi adapter).</translation>
    </message>
    <message>
        <source>Écrit chaque commande et chaque réponse sur la sortie d&apos;erreur.</source>
        <translation>Writes every command and every reply to standard error.</translation>
    </message>
    <message>
        <source>Pilote le simulateur de monture intégré au lieu d&apos;un vrai contrôleur.</source>
        <translation>Drives the built-in mount simulator instead of a real controller.</translation>
    </message>
    <message>
        <source>Démarre en vision de nuit (rouge sur noir ; Ctrl+Maj+N bascule).</source>
        <translation>Starts in night vision (red on black; Ctrl+Shift+N toggles).</translation>
    </message>
    <message>
        <source>Température de l&apos;air au lieu d&apos;observation, en °C (réfraction ; par défaut celle de l&apos;atmosphère standard à son altitude).</source>
        <translation>Air temperature at the observing site, in °C (refraction; by default the standard atmosphere&apos;s at its elevation).</translation>
    </message>
    <message>
        <source>Pression de l&apos;air au lieu d&apos;observation, en hPa (réfraction ; par défaut celle de l&apos;atmosphère standard à son altitude).</source>
        <translation>Air pressure at the observing site, in hPa (refraction; by default the standard atmosphere&apos;s at its elevation).</translation>
    </message>
    <message>
        <source>Liste les ports série de la machine et quitte.</source>
        <translation>Lists the machine&apos;s serial ports and exits.</translation>
    </message>
    <message>
        <source>selvane: --%1 %2 : attendu un nombre entre %3 et %4</source>
        <translation>selvane: --%1 %2: expected a number between %3 and %4</translation>
    </message>
    <message>
        <source>selvane: le simulateur n&apos;a pas pu démarrer</source>
        <translation>selvane: the simulator could not start</translation>
    </message>
    <message>
        <source>selvane: simulateur de monture sur %1</source>
        <translation>selvane: mount simulator on %1</translation>
    </message>
    <message>
        <source>selvane: réfraction non appliquée : lieu d&apos;observation inconnu (--lieu)</source>
        <translation>selvane: refraction not applied: observing site unknown (--lieu)</translation>
    </message>
    <message>
        <source>selvane: réfraction pour %1 °C et %2 hPa (%3)</source>
        <translation>selvane: refraction for %1 °C and %2 hPa (%3)</translation>
    </message>
    <message>
        <source>atmosphère standard à l&apos;altitude du lieu</source>
        <translation>standard atmosphere at the site&apos;s elevation</translation>
    </message>
    <message>
        <source>Lieu d&apos;observation en degrés décimaux (nord et est positifs) et mètres : 45.76,4.84,200. Rend la Lune topocentrique et signale une cible sous l&apos;horizon. Enregistré pour les démarrages suivants ; « aucun » l&apos;oublie.</source>
        <translation>Observing site in decimal degrees (north and east positive) and metres: 45.76,4.84,200. Makes the Moon topocentric and flags a target below the horizon. Saved for the next starts; &quot;aucun&quot; forgets it.</translation>
    </message>
    <message>
        <source>Ouvre une liste d&apos;observation (SkySafari .skylist, Stellarium .json, CSV, un nom par ligne) et choisit son premier objet ; Suivant et Précédent la parcourent.</source>
        <translation>Opens an observing list (SkySafari .skylist, Stellarium .json, CSV, one name per line) and chooses its first object; Next and Previous step through it.</translation>
    </message>
</context>
<context>
    <name>motion</name>
    <message>
        <source>Passage en autoguidage</source>
        <translation>Autoguiding on</translation>
    </message>
    <message>
        <source>Fin de l&apos;autoguidage </source>
        <translation>Autoguiding off </translation>
    </message>
    <message>
        <source>Ctrl+Flèche haut (maintenir)</source>
        <translation>Ctrl+Up arrow (hold)</translation>
    </message>
    <message>
        <source>Ctrl+Flèche bas (maintenir)</source>
        <translation>Ctrl+Down arrow (hold)</translation>
    </message>
    <message>
        <source>Ctrl+Flèche gauche (maintenir)</source>
        <translation>Ctrl+Left arrow (hold)</translation>
    </message>
    <message>
        <source>Ctrl+Flèche droite (maintenir)</source>
        <translation>Ctrl+Right arrow (hold)</translation>
    </message>
</context>
<context>
    <name>page</name>
    <message>
        <source>O</source>
        <translation>W</translation>
    </message>
    <message>
        <source>Nuit</source>
        <translation>Night</translation>
    </message>
    <message>
        <source>Vitesse</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Objet</source>
        <translation>Object</translation>
    </message>
    <message>
        <source>Coordonnées à coller</source>
        <translation>Coordinates to paste</translation>
    </message>
    <message>
        <source>Récupère coord presse papier</source>
        <translation>Get coordinates from clipboard</translation>
    </message>
    <message>
        <source>GOTO référence</source>
        <translation>GOTO reference</translation>
    </message>
    <message>
        <source>Init référence</source>
        <translation>Init reference</translation>
    </message>
    <message>
        <source>Aligner</source>
        <translation>Align</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Liaison avec selvane-web perdue</source>
        <translation>Link with selvane-web lost</translation>
    </message>
    <message>
        <source>Alignement : </source>
        <translation>Alignment: </translation>
    </message>
    <message>
        <source> étoiles</source>
        <translation> stars</translation>
    </message>
    <message>
        <source> étoile</source>
        <translation> star</translation>
    </message>
</context>
<context>
    <name>platform</name>
    <message>
        <source>accès refusé : l&apos;utilisateur doit appartenir au groupe « %1 » propriétaire du périphérique (sudo usermod -aG %1 $USER, puis se reconnecter)</source>
        <translation>access denied: the user must belong to the group &quot;%1&quot; that owns the device (sudo usermod -aG %1 $USER, then log in again)</translation>
    </message>
    <message>
        <source>déjà utilisé par un autre programme (%1)</source>
        <translation>already in use by another program (%1)</translation>
    </message>
    <message>
        <source>connexion refusée : rien n&apos;écoute sur ce port (ser2net ou l&apos;adaptateur est-il en marche, sur ce port ?)</source>
        <translation>connection refused: nothing listens on this port (is ser2net or the adapter running, on this port?)</translation>
    </message>
    <message>
        <source>hôte inconnu (nom ou adresse à vérifier)</source>
        <translation>unknown host (check the name or address)</translation>
    </message>
    <message>
        <source>pas de réponse de l&apos;hôte en %1 s (allumé ? sur ce réseau ?)</source>
        <translation>no answer from the host in %1 s (switched on? on this network?)</translation>
    </message>
    <message>
        <source>connexion impossible (%1)</source>
        <translation>cannot connect (%1)</translation>
    </message>
    <message>
        <source>%1: impossible d&apos;ouvrir l&apos;affichage graphique : %2</source>
        <translation>%1: cannot open the display: %2</translation>
    </message>
    <message>
        <source>aucun affichage graphique (DISPLAY et WAYLAND_DISPLAY sont vides) ; lancez-le dans une session graphique ou sous xvfb-run (--help, --version et --list-ports marchent sans affichage)</source>
        <translation>no display (DISPLAY and WAYLAND_DISPLAY are empty); start it in a graphical session or under xvfb-run (--help, --version and --list-ports work without a display)</translation>
    </message>
    <message>
        <source>la plateforme Qt « %1 » demande un affichage graphique, mais DISPLAY et WAYLAND_DISPLAY sont vides</source>
        <translation>the Qt platform &quot;%1&quot; needs a display, but DISPLAY and WAYLAND_DISPLAY are empty</translation>
    </message>
    <message>
        <source>aucun périphérique de ce nom (branché ? voir selvane --list-ports)</source>
        <translation>no device of that name (plugged in? see selvane --list-ports)</translation>
    </message>
    <message>
        <source>déjà utilisé par un autre programme (%1 ; si aucun ne tourne, un fichier LCK.. resté dans /run/lock peut être supprimé)</source>
        <translation>already in use by another program (%1; if none is running, a LCK.. file left in /run/lock may be removed)</translation>
    </message>
    <message>
        <source>port TCP invalide (de 1 à %1)</source>
        <translation>invalid TCP port (1 to %1)</translation>
    </message>
    <message>
        <source>l&apos;hôte a fermé la connexion</source>
        <translation>the host closed the connection</translation>
    </message>
</context>
<context>
    <name>pointing</name>
    <message>
        <source>Etes-vous sûr de vouloir initialiser?</source>
        <translation>Are you sure you want to initialise?</translation>
    </message>
    <message>
        <source>Etes-vous sûr de vouloir faire un GOTO référence?</source>
        <translation>Are you sure you want a GOTO to the reference?</translation>
    </message>
    <message>
        <source>Coordonnées de référence hors limites</source>
        <translation>Reference coordinates out of range</translation>
    </message>
    <message>
        <source>GOTO : pas de réponse du contrôleur</source>
        <translation>GOTO: no reply from the controller</translation>
    </message>
    <message>
        <source>Liaison série perdue : rien n&apos;a été envoyé au contrôleur</source>
        <translation>Serial link lost: nothing was sent to the controller</translation>
    </message>
    <message>
        <source>Attention : la cible est à </source>
        <translation>Warning: the target is </translation>
    </message>
    <message>
        <source>° du Soleil. Un instrument pointé vers le Soleil sans filtre solaire rend aveugle en un instant. Continuer ?</source>
        <translation>° from the Sun. An instrument pointed at the Sun without a solar filter blinds in an instant. Continue?</translation>
    </message>
    <message>
        <source>GOTO annulé : Soleil à </source>
        <translation>GOTO cancelled: Sun at </translation>
    </message>
    <message>
        <source>La cible est sous l&apos;horizon (hauteur </source>
        <translation>The target is below the horizon (altitude </translation>
    </message>
    <message>
        <source>°). Continuer ?</source>
        <translation>°). Continue?</translation>
    </message>
    <message>
        <source>GOTO annulé : cible sous l&apos;horizon (hauteur </source>
        <translation>GOTO cancelled: target below the horizon (altitude </translation>
    </message>
    <message>
        <source>Alignement impossible : initialisez d&apos;abord sur une étoile de référence (Init référence)</source>
        <translation>Alignment impossible: initialise on a reference star first (Init reference)</translation>
    </message>
    <message>
        <source>Alignement impossible : le lieu d&apos;observation n&apos;est pas connu (option --lieu)</source>
        <translation>Alignment impossible: the observing site is not known (option --lieu)</translation>
    </message>
    <message>
        <source>Alignement : la position n&apos;a pas pu être lue, l&apos;étoile n&apos;a pas été ajoutée</source>
        <translation>Alignment: the position could not be read, the star was not added</translation>
    </message>
    <message>
        <source>Alignement : </source>
        <translation>Alignment: </translation>
    </message>
    <message>
        <source> étoile</source>
        <translation> star</translation>
    </message>
    <message>
        <source> étoiles</source>
        <translation> stars</translation>
    </message>
    <message>
        <source>, résidu </source>
        <translation>, residual </translation>
    </message>
    <message>
        <source>Alignement : termes </source>
        <translation>Alignment: terms </translation>
    </message>
    <message>
        <source>, erreur attendue au pire </source>
        <translation>, worst expected error </translation>
    </message>
    <message>
        <source>Modèle : </source>
        <translation>Model: </translation>
    </message>
    <message>
        <source>&apos; en AD, </source>
        <translation>&apos; in RA, </translation>
    </message>
    <message>
        <source>&apos; en DEC</source>
        <translation>&apos; in DEC</translation>
    </message>
</context>
<context>
    <name>protocol</name>
    <message>
        <source>GOTO AD : </source>
        <translation>GOTO RA: </translation>
    </message>
    <message>
        <source>GOTO en progression... </source>
        <translation>GOTO in progress... </translation>
    </message>
    <message>
        <source>GOTO Référence atteint ! </source>
        <translation>GOTO Reference reached! </translation>
    </message>
    <message>
        <source>Erreur de compensation temporelle : </source>
        <translation>Time compensation error: </translation>
    </message>
    <message>
        <source>Correction temporelle GOTO ... </source>
        <translation>GOTO time correction ... </translation>
    </message>
    <message>
        <source>Cible Référence pointée! </source>
        <translation>Reference target pointed! </translation>
    </message>
    <message>
        <source>Système Selvane initialisé</source>
        <translation>Selvane system initialised</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>--lieu %1 : attendu LAT,LON[,ALT] en degrés décimaux et mètres, latitude entre -90 et 90, longitude entre -180 et 180 (est positive), altitude entre -500 et 10000 m</source>
        <translation>--lieu %1: expected LAT,LON[,ALT] in decimal degrees and metres, latitude between -90 and 90, longitude between -180 and 180 (east positive), elevation between -500 and 10000 m</translation>
    </message>
    <message>
        <source>« %1 » : attendu LAT,LON[,ALT] en degrés décimaux et mètres, latitude entre -90 et 90, longitude entre -180 et 180 (est positive), altitude entre -500 et 10000 m, ou « aucun »</source>
        <translation>&quot;%1&quot;: expected LAT,LON[,ALT] in decimal degrees and metres, latitude between -90 and 90, longitude between -180 and 180 (east positive), altitude between -500 and 10000 m, or &quot;aucun&quot; (none)</translation>
    </message>
    <message>
        <source>lieu d&apos;observation %1 (--lieu, enregistré dans %2)</source>
        <translation>observing site %1 (--lieu, saved in %2)</translation>
    </message>
    <message>
        <source>lieu d&apos;observation %1 (enregistré dans %2)</source>
        <translation>observing site %1 (saved in %2)</translation>
    </message>
    <message>
        <source>lieu d&apos;observation oublié (--lieu aucun)</source>
        <translation>observing site forgotten (--lieu aucun)</translation>
    </message>
    <message>
        <source>lieu d&apos;observation %1 (--lieu ; non enregistré : %2 inaccessible)</source>
        <translation>observing site %1 (--lieu; not saved: %2 cannot be written)</translation>
    </message>
    <message>
        <source>réglages enregistrés ignorés : %1 illisible</source>
        <translation>saved settings ignored: %1 does not read</translation>
    </message>
    <message>
        <source>lieu enregistré ignoré : « %1 » dans %2 ne se lit pas</source>
        <translation>saved site ignored: &quot;%1&quot; in %2 does not read</translation>
    </message>
    <message>
        <source>Lieu d&apos;observation</source>
        <translation>Observing site</translation>
    </message>
    <message>
        <source>Latitude, longitude en degrés décimaux (nord et est positifs) et altitude en mètres : 45.76,4.84,200. Vide ou « aucun » : pas de lieu.</source>
        <translation>Latitude, longitude in decimal degrees (north and east positive) and altitude in metres: 45.76,4.84,200. Empty or &quot;aucun&quot;: no site.</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Lieu d&apos;observation : %1</source>
        <translation>Observing site: %1</translation>
    </message>
    <message>
        <source>Lieu d&apos;observation oublié</source>
        <translation>Observing site forgotten</translation>
    </message>
</context>
<context>
    <name>web</name>
    <message>
        <source>Raquette de commande Selvane V2.2 dans le navigateur d&apos;un téléphone.</source>
        <translation>Selvane V2.2 hand controller in a phone&apos;s browser.</translation>
    </message>
    <message>
        <source>Mouvement arrêté : la page qui le tenait ne répond plus</source>
        <translation>Move stopped: the page that held it no longer answers</translation>
    </message>
    <message>
        <source>Mouvement arrêté au bout de %1 s : durée max. d&apos;un mouvement atteinte</source>
        <translation>Move stopped after %1 s: longest move reached</translation>
    </message>
    <message>
        <source>GOTO refusé : un GOTO est déjà en cours</source>
        <translation>GOTO refused: a GOTO is already in progress</translation>
    </message>
    <message>
        <source>Init refusée : un GOTO est en cours</source>
        <translation>Init refused: a GOTO is in progress</translation>
    </message>
    <message>
        <source>GOTO terminé</source>
        <translation>GOTO done</translation>
    </message>
    <message>
        <source>réponse illisible : </source>
        <translation>unreadable reply: </translation>
    </message>
    <message>
        <source>aucun périphérique de ce nom (branché ?)</source>
        <translation>no device of that name (plugged in?)</translation>
    </message>
    <message>
        <source>simulateur de monture sur %1</source>
        <translation>mount simulator on %1</translation>
    </message>
    <message>
        <source>le simulateur n&apos;a pas pu démarrer</source>
        <translation>the simulator could not start</translation>
    </message>
    <message>
        <source>--listen %1 : impossible d&apos;écouter (%2)</source>
        <translation>--listen %1: cannot listen (%2)</translation>
    </message>
    <message>
        <source>--listen %1 : attendu ADRESSE:PORT, par exemple 0.0.0.0:7626</source>
        <translation>--listen %1: expected ADDRESS:PORT, for example 0.0.0.0:7626</translation>
    </message>
    <message>
        <source>Sur le réseau : quiconque a cette adresse (et son jeton) peut déplacer la monture.</source>
        <translation>On the network: whoever has this address (and its token) can move the mount.</translation>
    </message>
    <message>
        <source>Le contrôleur : un port série (/dev/ttyUSB0), un pont TCP (hôte:port) ou le port partagé du pilote (127.0.0.1:7625). Par défaut /dev/ttyS0 (COM1).</source>
        <translation>The controller: a serial port (/dev/ttyUSB0), a TCP bridge (host:port) or the driver&apos;s shared port (127.0.0.1:7625). By default /dev/ttyS0 (COM1).</translation>
    </message>
    <message>
        <source>Pilote le simulateur de monture intégré.</source>
        <translation>Drives the built-in mount simulator.</translation>
    </message>
    <message>
        <source>L&apos;adresse où servir la page ; 0.0.0.0:7626 pour le réseau (avec un jeton). Par défaut %1.</source>
        <translation>The address to serve the page on; 0.0.0.0:7626 for the network (with a token). By default %1.</translation>
    </message>
    <message>
        <source>Chaque commande écrite et chaque réponse lue vont sur la sortie d&apos;erreur, horodatées.</source>
        <translation>Every command written and every reply read go to standard error, time-stamped.</translation>
    </message>
    <message>
        <source>argument inattendu : %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>--port : un port est attendu</source>
        <translation>--port: a port is expected</translation>
    </message>
    <message>
        <source>Le lieu d&apos;observation en degrés décimaux (est positif) et mètres ; enregistré pour les démarrages suivants, « aucun » l&apos;oublie.</source>
        <translation>The observing site in decimal degrees (east positive) and metres; saved for the next starts, &quot;aucun&quot; forgets it.</translation>
    </message>
</context>
<context>
    <name>window</name>
    <message>
        <source>&amp;N</source>
        <translation>&amp;N</translation>
    </message>
    <message>
        <source>&amp;E</source>
        <translation>&amp;E</translation>
    </message>
    <message>
        <source>&amp;O</source>
        <translation>&amp;W</translation>
    </message>
    <message>
        <source>&amp;S</source>
        <translation>&amp;S</translation>
    </message>
    <message>
        <source>Sidéral</source>
        <translation>Sidereal</translation>
    </message>
    <message>
        <source>Rattrapage</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Centrage</source>
        <translation>Centering</translation>
    </message>
    <message>
        <source>Rapide</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>Autoguidage</source>
        <translation>Autoguiding</translation>
    </message>
    <message>
        <source>Bascule l&apos;autoguidage sur la raquette</source>
        <translation>Hands autoguiding to the paddle</translation>
    </message>
    <message>
        <source>Récupère coord presse papier </source>
        <translation>Get coordinates from clipboard </translation>
    </message>
    <message>
        <source>&amp;GOTO référence</source>
        <translation>&amp;GOTO reference</translation>
    </message>
    <message>
        <source>Objet :</source>
        <translation>Object:</translation>
    </message>
    <message>
        <source>Objet du catalogue : Messier, NGC, IC, étoile, planète, Lune ou Soleil</source>
        <translation>Catalogue object: Messier, NGC, IC, star, planet, Moon or Sun</translation>
    </message>
    <message>
        <source>Ascension Droite</source>
        <translation>Right Ascension</translation>
    </message>
    <message>
        <source>Heures</source>
        <translation>Hours</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minutes</translation>
    </message>
    <message>
        <source>Secondes</source>
        <translation>Seconds</translation>
    </message>
    <message>
        <source>Déclinaison</source>
        <translation>Declination</translation>
    </message>
    <message>
        <source>Degrés</source>
        <translation>Degrees</translation>
    </message>
    <message>
        <source>essai</source>
        <translation>test</translation>
    </message>
    <message>
        <source>Demandes de position</source>
        <translation>Position queries</translation>
    </message>
    <message>
        <source>&amp;Init référence</source>
        <translation>&amp;Init reference</translation>
    </message>
    <message>
        <source>&amp;Aligner</source>
        <translation>&amp;Align</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
